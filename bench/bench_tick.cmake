add_executable(bench_tick ${CMAKE_CURRENT_LIST_DIR}/bench_tick.cpp)
target_link_libraries(bench_tick PRIVATE tarrow_controller benchmark::benchmark)
