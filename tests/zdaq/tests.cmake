tidemet_test(zdaq_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/tree_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/io_control_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sampling_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sample_ring_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/hotplug_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux_platform_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/linux_driver_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/setup_request_test.cpp
  LIBS zdaq)

if(TARGET zdaq_cli)
  tidemet_test(zdaq_cli_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp
    LIBS zdaq_cli)
endif()

if(TARGET PkgConfig::SYSTEMD)
  tidemet_test(zdaq_logind_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/fake_logind.cpp
      ${CMAKE_CURRENT_LIST_DIR}/logind_suspend_test.cpp
    LIBS zdaq PkgConfig::SYSTEMD)
endif()
