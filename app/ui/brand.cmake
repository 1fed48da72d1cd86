# Brand, mark, tray menu and the modes that show them. Included by CMakeLists.txt.
target_sources(tarrow_ui PRIVATE
  about_box.cpp
  admin_prompt.cpp
  brand.cpp
  mark.cpp
  png.cpp
  resources.cpp
  tray_actions.cpp
  tray_menu.cpp
  tray_modes.cpp
)
target_compile_definitions(tarrow_ui PRIVATE
  TARROW_SOURCE_RESOURCES="${CMAKE_SOURCE_DIR}/resources")

# The resources travel next to the build: build/resources beside build/bin.
add_custom_target(tarrow_resources ALL
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${CMAKE_SOURCE_DIR}/resources
          ${CMAKE_BINARY_DIR}/resources
  COMMENT "Copying resources next to the build")
add_dependencies(tarrow_ui tarrow_resources)
