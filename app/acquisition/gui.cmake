target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/live_graph_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/axis_label_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diagnostics_dialog.cpp
)
