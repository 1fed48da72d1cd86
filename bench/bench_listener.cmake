add_executable(bench_listener ${CMAKE_CURRENT_LIST_DIR}/bench_listener.cpp
  ${CMAKE_SOURCE_DIR}/tests/listener/hello.cpp)
target_link_libraries(bench_listener PRIVATE tarrow_helper_lib benchmark::benchmark)
