# Sources of this subsystem are added here.
# Placeholder page until the Tickets page lands; delete it then.
target_sources(vornui_lib PRIVATE ${CMAKE_CURRENT_LIST_DIR}/tickets_page_stub.cpp)
