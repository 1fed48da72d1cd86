find_package(Qt6 REQUIRED COMPONENTS Core)
add_executable(bench_page ${CMAKE_CURRENT_LIST_DIR}/bench_page.cpp)
target_link_libraries(bench_page PRIVATE tarrow_browser Qt6::Core benchmark::benchmark)
