tidemet_test(analysis_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/repetition_detector_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/analysis_means_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/recompute_analysis_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/swim_metrics_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/performance_report_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/clip_and_batch_test.cpp
  LIBS tidemet_core)

if(TARGET tidemet_widgets)
  tidemet_qt_test(analysis_window_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/../ui/lsan_suppressions.cpp
      ${CMAKE_CURRENT_LIST_DIR}/analysis_window_test.cpp)
endif()
