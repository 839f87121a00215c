tidemet_bench(analysis_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/recompute_analysis_bench.cpp
  LIBS tidemet_core)
