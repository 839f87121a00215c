# The client list at 5000 entries: reading client.lst, converting every entry's units, and the
# client window loading, scrolling and switching units (offscreen).
tidemet_bench(bench_client_list SOURCES ${CMAKE_CURRENT_LIST_DIR}/client_list_bench.cpp
  LIBS tidemet_core)
if(TARGET tidemet_widgets)
  add_executable(bench_client_window ${CMAKE_CURRENT_LIST_DIR}/client_window_bench.cpp)
  target_link_libraries(bench_client_window PRIVATE tidemet_widgets benchmark::benchmark)
  target_include_directories(bench_client_window PRIVATE ${PROJECT_SOURCE_DIR})
endif()
if(TARGET tidemet_widgets)
  add_executable(client_window_probe ${CMAKE_CURRENT_LIST_DIR}/client_window_probe.cpp)
  target_link_libraries(client_window_probe PRIVATE tidemet_widgets)
endif()
