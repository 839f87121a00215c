tidemet_bench(bench_export SOURCES ${CMAKE_CURRENT_LIST_DIR}/export_bench.cpp LIBS tidemet_core)
