tidemet_test(session_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/text_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/monitor_menus_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/model_table_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/settings_state_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/main_commands_test.cpp
  LIBS tidemet_core)
