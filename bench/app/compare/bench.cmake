tidemet_bench(comparison_bench
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/comparison_rebuild_bench.cpp
  LIBS tidemet_core)
if(TARGET tidemet_widgets)
  add_executable(compare_windows_probe ${CMAKE_CURRENT_LIST_DIR}/compare_windows_probe.cpp)
  target_link_libraries(compare_windows_probe PRIVATE tidemet_widgets)
  target_include_directories(compare_windows_probe PRIVATE ${PROJECT_SOURCE_DIR})
endif()
