# The start-up probe: the program as main() builds it, stopped at the first paint of the title
# screen. measure-startup runs it and reports the time from process start and the memory.
if(TARGET tidemet_widgets)
  find_package(Qt6 REQUIRED COMPONENTS Widgets)
  add_executable(title_screen_probe ${CMAKE_CURRENT_LIST_DIR}/title_screen_probe.cpp)
  target_link_libraries(title_screen_probe PRIVATE tidemet_widgets)
endif()
