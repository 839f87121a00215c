target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/live_graph_widget.cpp
)
