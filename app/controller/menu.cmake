# The tray menu's model and commands, and the helper's installation. Included by
# CMakeLists.txt.
target_sources(tarrow_controller PRIVATE helper_setup.cpp menu_commands.cpp menu_model.cpp)
