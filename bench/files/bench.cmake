tidemet_bench(bench_trial_file
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/trial_file_bench.cpp
  LIBS tidemet_core)
