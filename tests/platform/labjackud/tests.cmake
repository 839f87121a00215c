tidemet_test(labjackud_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/labjackud_test.cpp
  LIBS labjackud)
tidemet_test(labjackud_u3_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/u3_protocol_test.cpp ${CMAKE_CURRENT_LIST_DIR}/ud_driver_test.cpp
  LIBS labjackud_u3sim)
if(TARGET tidemet_core)
  tidemet_test(labjack_monitor_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/labjack_monitor_test.cpp
    LIBS tidemet_core labjackud_u3sim)
endif()
