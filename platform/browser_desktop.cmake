# Browser scripting and what the desktop tells about the front application.
target_sources(tarrow_platform PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/browser_scripting.cpp
)
