if(TARGET tidemet_cli_lib)
  tidemet_bench(cli_bench
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_analyze_bench.cpp
    LIBS tidemet_cli_lib)
endif()
