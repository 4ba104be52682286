target_sources(vornui_lib PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/feature_query.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_name.cpp
  ${CMAKE_CURRENT_LIST_DIR}/module.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plugin_context.cpp
  ${CMAKE_CURRENT_LIST_DIR}/private_devmode.cpp
  ${CMAKE_CURRENT_LIST_DIR}/safe_string.cpp
)
