# The block page server, browser tabs and consent, and the hits behind the card.
find_package(Qt6 REQUIRED COMPONENTS Core)
find_package(nlohmann_json REQUIRED)

target_sources(tarrow_browser PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/blocking_status.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_scripts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_tabs.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hit_notices.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hits.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_escape.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_routes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/script_values.cpp
)
target_link_libraries(tarrow_browser PUBLIC Qt6::Core tarrow_platform
                      PRIVATE nlohmann_json::nlohmann_json)

target_sources(tarrow_browser PRIVATE ${CMAKE_CURRENT_LIST_DIR}/page_server.cpp)
target_link_libraries(tarrow_browser PUBLIC tarrow_tcp)

# What joins the browser parts to the controller and the card (Qt widgets).
find_package(Qt6 REQUIRED COMPONENTS Widgets)
add_library(tarrow_browser_app STATIC
  ${CMAKE_CURRENT_LIST_DIR}/browser_integration.cpp
  ${CMAKE_CURRENT_LIST_DIR}/hits_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_test_mode.cpp
  ${CMAKE_SOURCE_DIR}/app/ui/notice_panel.cpp
  ${CMAKE_SOURCE_DIR}/app/ui/notice_view.cpp
)
target_include_directories(tarrow_browser_app PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(tarrow_browser_app PUBLIC tarrow_browser tarrow_controller tarrow_ui
                      Qt6::Widgets)
