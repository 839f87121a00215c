tidemet_bench(bench_zdaq
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/sampling_bench.cpp
  LIBS zdaq)
