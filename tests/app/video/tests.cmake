tidemet_test(video_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/video_core_test.cpp
  LIBS tidemet_core)

if(TARGET tidemet_widgets)
  find_package(Qt6 REQUIRED COMPONENTS Test)
  tidemet_qt_test(video_widget_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/video_widget_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/media_lsan_suppressions.cpp
    LIBS Qt6::Test)
endif()
