# Window tests need the Qt program's libraries; they run offscreen.
if(TARGET tidemet_widgets)
  # Qt's imported targets are seen only where Qt was found.
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  tidemet_test(window_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/qt_application.cpp
      ${CMAKE_CURRENT_LIST_DIR}/main_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/settings_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/help_and_alerts_test.cpp
    LIBS tidemet_widgets)
endif()
