# Sources of this subsystem are added here.
target_sources(vornui_lib PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/commit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/deferred_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/destination_page.cpp
  ${CMAKE_CURRENT_LIST_DIR}/field_checks.cpp
  ${CMAKE_CURRENT_LIST_DIR}/field_messages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/language_code.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_help.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_init.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_lists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_state.cpp
)
