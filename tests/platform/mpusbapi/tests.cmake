# The USB module's udev rule is installed where udev reads it.
add_test(NAME mpusbapi_udev_rule_install
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/udev-rule-prefix
    -P ${CMAKE_CURRENT_LIST_DIR}/check_udev_rule_install.cmake)

# The libusb pipe library under the module library, against modules emulated below libusb by
# umockdev. umockdev-wrapper preloads umockdev's library ahead of the sanitizer runtime, which the
# sanitizer then has to be told to accept.
find_package(PkgConfig REQUIRED)
pkg_check_modules(UMOCKDEV IMPORTED_TARGET umockdev-1.0)
find_program(UMOCKDEV_WRAPPER umockdev-wrapper)
if(UMOCKDEV_FOUND AND UMOCKDEV_WRAPPER AND TARGET vonmodvb)
  add_executable(mpusbapi_emulated_tests
    ${CMAKE_CURRENT_LIST_DIR}/usb_emulated_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/emulated_module.cpp
    ${PROJECT_SOURCE_DIR}/platform/mpusbapi/sim/sim_module.cpp)
  target_link_libraries(mpusbapi_emulated_tests PRIVATE vonmodvb PkgConfig::UMOCKDEV GTest::gtest
    GTest::gtest_main)
  target_include_directories(mpusbapi_emulated_tests PRIVATE ${PROJECT_SOURCE_DIR})
  add_dependencies(mpusbapi_emulated_tests mpusbapi_usb)
  add_test(NAME mpusbapi_emulated_tests
    COMMAND ${UMOCKDEV_WRAPPER} $<TARGET_FILE:mpusbapi_emulated_tests>)
  set_tests_properties(mpusbapi_emulated_tests PROPERTIES TIMEOUT 300 ENVIRONMENT
    "LD_LIBRARY_PATH=${CMAKE_BINARY_DIR}/lib/mpusbapi-usb;ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=1")
elseif(TARGET vonmodvb)
  message(WARNING "umockdev missing (scripts/install-deps installs it): the USB pipe library is not tested against emulated modules")
endif()
