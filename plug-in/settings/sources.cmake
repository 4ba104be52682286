target_sources(vornui_lib PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/key_security.cpp
  ${CMAKE_CURRENT_LIST_DIR}/printer_events.cpp
  ${CMAKE_CURRENT_LIST_DIR}/registry_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ticket_software.cpp
)
target_sources(vornui_lib PRIVATE ${CMAKE_CURRENT_LIST_DIR}/printer_data.cpp)
