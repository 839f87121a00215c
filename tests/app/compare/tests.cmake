tidemet_test(compare_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/comparison_test.cpp
  LIBS tidemet_core)

if(TARGET tidemet_widgets)
  tidemet_qt_test(compare_window_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/../ui/lsan_suppressions.cpp
      ${CMAKE_CURRENT_LIST_DIR}/compare_windows_test.cpp)
endif()
