tidemet_bench(labjack_tick_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/labjack_tick_bench.cpp
  LIBS labjackud labjackud_u3sim)
