target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/qt_alerts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/logo.cpp
)
target_sources(tidemet_widgets PRIVATE ${CMAKE_CURRENT_LIST_DIR}/program.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/program.cpp PROPERTIES
  COMPILE_DEFINITIONS "TIDEMET_DATA_DIR=\"${CMAKE_INSTALL_FULL_DATADIR}/tidemet\"")
