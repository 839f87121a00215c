# Capture runs on GStreamer directly (any source, the demo pattern included); playback on Qt
# Multimedia with its GStreamer back end.
find_package(Qt6 REQUIRED COMPONENTS Multimedia)
find_package(PkgConfig REQUIRED)
pkg_check_modules(GSTREAMER REQUIRED IMPORTED_TARGET gstreamer-1.0 gstreamer-app-1.0 gstreamer-video-1.0)
target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/capture_pipeline.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_frame_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_playback_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/video_panel_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_video_pane_widget.cpp
  ${CMAKE_CURRENT_LIST_DIR}/reference_curve_widget.cpp
)
target_link_libraries(tidemet_widgets PUBLIC Qt6::Multimedia PkgConfig::GSTREAMER)
