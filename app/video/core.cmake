target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/capture_status.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frame_mapping.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference_curve.cpp
)
