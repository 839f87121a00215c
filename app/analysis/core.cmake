target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/repetition_detector.cpp
  ${CMAKE_CURRENT_LIST_DIR}/repetition_validation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/repetition_conversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis_means.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/recompute_analysis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/swim_metrics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sample_export.cpp
  ${CMAKE_CURRENT_LIST_DIR}/analysis_grids.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report_layout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/performance_report.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clip_texts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/batch_runs.cpp
)
