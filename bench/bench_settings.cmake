# The settings window: making and showing it, one tick, and the idle cost of keeping it.
add_executable(bench_settings ${CMAKE_CURRENT_LIST_DIR}/bench_settings.cpp)
target_link_libraries(bench_settings PRIVATE tarrow_ui benchmark::benchmark)
add_executable(bench_settings_idle ${CMAKE_CURRENT_LIST_DIR}/bench_settings_idle.cpp)
target_link_libraries(bench_settings_idle PRIVATE tarrow_ui)
