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
  ${CMAKE_CURRENT_LIST_DIR}/sources/serial_port.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sources/rv2_source.cpp
  ${CMAKE_CURRENT_LIST_DIR}/diagnostics.cpp
  ${CMAKE_CURRENT_LIST_DIR}/monitor_status.cpp
)

# The USB device and the USB module: the device library is linked, the module library is loaded
# by name when a module model is chosen.
if(TARGET zdaq)
  target_sources(tidemet_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/sources/usb_device_points.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sources/usb_device_source.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sources/usb_settings_devices.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sources/vonmod_library.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sources/usb_module_source.cpp)
  target_link_libraries(tidemet_core PUBLIC zdaq ${CMAKE_DL_LIBS})
  target_compile_definitions(tidemet_core PUBLIC TIDEMET_HAVE_USB_SOURCES)
endif()

# The LabJack U3, read through the UD driver's calls.
if(TARGET labjackud)
  target_sources(tidemet_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/sources/labjack_source.cpp)
  target_link_libraries(tidemet_core PUBLIC labjackud)
  target_compile_definitions(tidemet_core PUBLIC TIDEMET_HAVE_LABJACK)
endif()
