find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_executable(bench_schedules ${CMAKE_CURRENT_LIST_DIR}/bench_schedules.cpp)
target_link_libraries(bench_schedules PRIVATE tarrow_ui benchmark::benchmark)
target_include_directories(bench_schedules PRIVATE ${CMAKE_SOURCE_DIR}/tests/model)
