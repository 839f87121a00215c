# Qt Charts is used by the chart widget alone.
find_package(Qt6 REQUIRED COMPONENTS Charts)
target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/comparison_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_view_widget.cpp
)
target_link_libraries(tidemet_widgets PUBLIC Qt6::Charts)
