target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/qt_alerts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/logo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_table_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_list_model.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_list_printing.cpp
  ${CMAKE_CURRENT_LIST_DIR}/report_dialogs.cpp
)
target_sources(tidemet_widgets PRIVATE ${CMAKE_CURRENT_LIST_DIR}/program.cpp
  ${CMAKE_CURRENT_LIST_DIR}/startup_probe.cpp ${CMAKE_CURRENT_LIST_DIR}/trial_export_dialog.cpp)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/program.cpp PROPERTIES
  COMPILE_DEFINITIONS "TIDEMET_DATA_DIR=\"${CMAKE_INSTALL_FULL_DATADIR}/tidemet\"")
# Reports are drawn by one renderer for the printer and PDF files; the command-line tool uses it
# without the widgets.
find_package(Qt6 REQUIRED COMPONENTS Gui PrintSupport)
add_library(tidemet_reports STATIC ${CMAKE_CURRENT_LIST_DIR}/report_renderer.cpp)
target_link_libraries(tidemet_reports PUBLIC tidemet_core Qt6::Gui)
target_link_libraries(tidemet_widgets PUBLIC tidemet_reports Qt6::PrintSupport)
