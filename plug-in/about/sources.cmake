# Sources of this subsystem are added here.
target_sources(vornui_lib PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/about_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/key_color.cpp
  ${CMAKE_CURRENT_LIST_DIR}/transparent_bitmap.cpp
)
