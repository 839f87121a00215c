# The USB sources against their simulators through the real libraries: libzdaq with its
# simulated system, and libvonmodvb.so (loaded by name) over the simulated pipe library that the
# library search path gives it.
if(TARGET zdaq AND TARGET vonmodvb AND TARGET mpusbapi_sim)
  add_executable(usb_source_tests
    ${CMAKE_CURRENT_LIST_DIR}/usb_device_source_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/usb_module_source_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/source_contract_test.cpp)
  target_link_libraries(usb_source_tests PRIVATE tidemet_core ${CMAKE_DL_LIBS}
    GTest::gtest GTest::gtest_main GTest::gmock)
  target_include_directories(usb_source_tests PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
  add_dependencies(usb_source_tests vonmodvb mpusbapi_sim)
  # The build's lib folder too: under the address sanitizer dlopen runs from the sanitizer's
  # runtime, which has not the program's run path.
  gtest_discover_tests(usb_source_tests DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300
    ENVIRONMENT "LD_LIBRARY_PATH=${TIDEMET_MPUSBAPI_SIM_DIR}:${CMAKE_BINARY_DIR}/lib")
endif()

tidemet_test(acquisition_source_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/rv2_source_test.cpp
  LIBS tidemet_core)
if(TARGET labjackud)
  tidemet_test(labjack_source_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/labjack_source_test.cpp
    LIBS tidemet_core)
endif()
