tidemet_test(labjackud_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/labjackud_test.cpp
  LIBS labjackud)
