target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/storable_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_editor_rules.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_commands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_selection.cpp
)
