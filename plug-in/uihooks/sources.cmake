target_sources(vornui_lib PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/common_ui.cpp
  ${CMAKE_CURRENT_LIST_DIR}/document_callback.cpp
  ${CMAKE_CURRENT_LIST_DIR}/driver_settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/feature_broadcast.cpp
  ${CMAKE_CURRENT_LIST_DIR}/property_sheets.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sheet_conditions.cpp
)
target_sources(vornui_lib PRIVATE ${CMAKE_CURRENT_LIST_DIR}/model_class.cpp)
target_sources(vornui_lib PRIVATE ${CMAKE_CURRENT_LIST_DIR}/page_window.cpp)
target_sources(vornui_lib PRIVATE ${CMAKE_CURRENT_LIST_DIR}/page_help.cpp)
