tidemet_bench(labjack_tick_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/labjack_tick_bench.cpp
  LIBS labjackud labjackud_u3sim)
tidemet_bench(usb_tick_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/usb_tick_bench.cpp
  LIBS mpusbapi_pipes)
