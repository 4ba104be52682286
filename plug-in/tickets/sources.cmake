# The job-ticket subsystem: ticket directory and list, the Tickets page, and
# the hand-off to the ticket editor and ticket library.
target_sources(vornui_lib PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/folder_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_watch.cpp
  ${CMAKE_CURRENT_LIST_DIR}/list_order.cpp
  ${CMAKE_CURRENT_LIST_DIR}/page_controls.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticket_actions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticket_directory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticket_editor.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticket_list.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticket_names.cpp
  ${CMAKE_CURRENT_LIST_DIR}/tickets_page.cpp
)
