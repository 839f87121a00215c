tidemet_bench(analysis_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/recompute_analysis_bench.cpp
  LIBS tidemet_core)

# The analysis window and its PDF report (a QApplication of its own, so its own main).
if(TARGET tidemet_widgets)
  add_executable(analysis_window_bench ${CMAKE_CURRENT_LIST_DIR}/analysis_window_bench.cpp)
  target_link_libraries(analysis_window_bench PRIVATE tidemet_widgets benchmark::benchmark)
endif()
