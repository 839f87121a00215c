target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/analysis_window.cpp
)
