tidemet_test(acquisition_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/serial_unit_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sampling_loop_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/acquisition_worker_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/monitor_controller_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/graph_paging_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/diagnostics_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/monitor_status_test.cpp
  LIBS tidemet_core)

if(TARGET tidemet_widgets)
  tidemet_qt_test(acquisition_widget_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/live_graph_widget_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/monitor_window_test.cpp
      ${CMAKE_CURRENT_LIST_DIR}/diagnostics_dialog_test.cpp)
endif()
