tidemet_bench(vonmod_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/vonmod_bench.cpp
  LIBS vonmodvb ${CMAKE_DL_LIBS})
add_dependencies(vonmod_bench mpusbapi_sim)
