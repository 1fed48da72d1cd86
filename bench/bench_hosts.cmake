add_executable(bench_hosts ${CMAKE_CURRENT_LIST_DIR}/bench_hosts.cpp)
target_link_libraries(bench_hosts PRIVATE tarrow_helper_lib benchmark::benchmark)
