tidemet_test(clients_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/client_commands_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/client_selection_test.cpp
  LIBS tidemet_core)

if(TARGET tidemet_widgets)
  tidemet_qt_test(clients_widget_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/client_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/../ui/lsan_suppressions.cpp)
endif()
