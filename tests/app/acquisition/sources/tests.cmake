tidemet_test(acquisition_source_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/labjack_source_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/rv2_source_test.cpp
  LIBS tidemet_core)
