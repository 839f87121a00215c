target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/analysis_window.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_table_model.cpp
)
