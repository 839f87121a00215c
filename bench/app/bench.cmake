tidemet_bench(bench_tick SOURCES ${CMAKE_CURRENT_LIST_DIR}/tick_bench.cpp LIBS tidemet_core)

# The monitor's beat measured in the real window (run under xvfb-run; not a Google Benchmark).
if(TARGET tidemet_widgets)
  add_executable(monitor_timing ${CMAKE_CURRENT_LIST_DIR}/monitor_timing.cpp)
  target_link_libraries(monitor_timing PRIVATE tidemet_widgets)
endif()
