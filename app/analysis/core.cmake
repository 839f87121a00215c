target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/repetition_detector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/repetition_validation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/repetition_conversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis_means.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recompute_analysis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/swim_metrics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_export.cpp
)
