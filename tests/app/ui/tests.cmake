# Window tests run offscreen with the shared window-test main.
if(TARGET tidemet_widgets)
  tidemet_qt_test(window_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/lsan_suppressions.cpp
      ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/settings_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/help_and_alerts_test.cpp)
  # Key presses go through the shortcut map as a user's would.
  find_package(Qt6 REQUIRED COMPONENTS Test)
  target_link_libraries(window_tests PRIVATE Qt6::Test)
endif()
