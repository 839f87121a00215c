target_sources(tidemet_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/serial_unit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/stored_value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/plot_sample.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sampling_loop.cpp
  ${CMAKE_CURRENT_LIST_DIR}/acquisition_worker.cpp
  ${CMAKE_CURRENT_LIST_DIR}/demo_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_controller.cpp
  ${CMAKE_CURRENT_LIST_DIR}/graph_paging.cpp
  ${CMAKE_CURRENT_LIST_DIR}/simulated_recording.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pointer_readout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sources/source_factory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sources/labjack_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sources/serial_port.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sources/rv2_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diagnostics.cpp
)
# The LabJack U3 is read through the UD driver's calls.
target_link_libraries(tidemet_core PUBLIC labjackud)
