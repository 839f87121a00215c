tidemet_test(labjackud_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/labjackud_test.cpp
  LIBS labjackud)
tidemet_test(labjackud_u3_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/u3_protocol_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ud_driver_test.cpp
  LIBS labjackud_u3sim)
