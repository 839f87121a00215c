target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/comparison.cpp
  ${CMAKE_CURRENT_LIST_DIR}/chart_series.cpp
)
