# Sources of this subsystem are added here.
target_sources(vornui_lib PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/feature_mapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_sizes.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticket_translator.cpp
)
