# The block page server, browser tabs and consent, and the hits behind the card.
find_package(Qt6 REQUIRED COMPONENTS Core)
find_package(nlohmann_json REQUIRED)

target_sources(tarrow_browser PRIVATE
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
