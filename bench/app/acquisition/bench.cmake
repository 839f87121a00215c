if(TARGET zdaq AND TARGET vonmodvb AND TARGET mpusbapi_sim)
  tidemet_bench(bench_usb_tick SOURCES ${CMAKE_CURRENT_LIST_DIR}/usb_tick_bench.cpp
    LIBS tidemet_core ${CMAKE_DL_LIBS})
  add_dependencies(bench_usb_tick vonmodvb mpusbapi_sim)
endif()
