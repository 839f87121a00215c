find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
target_link_libraries(tidemet_widgets PUBLIC Qt6::PrintSupport)
target_sources(tidemet_widgets PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/client_editor_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/client_window.cpp
)
