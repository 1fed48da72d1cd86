# Browser scripting and what the desktop tells about the front application.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)

target_sources(tarrow_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/apple_script.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_scripting.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop_compositing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop_entries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop_front_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/desktop_window.cpp
)
target_link_libraries(tarrow_platform PRIVATE PkgConfig::XCB)
target_sources(tarrow_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/x_connection.cpp)
