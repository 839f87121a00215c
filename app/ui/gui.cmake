target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/qt_alerts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/logo.cpp
)
