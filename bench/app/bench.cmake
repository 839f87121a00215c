tidemet_bench(bench_tick SOURCES ${CMAKE_CURRENT_LIST_DIR}/tick_bench.cpp LIBS tidemet_core)
