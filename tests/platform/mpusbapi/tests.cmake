# The USB module's udev rule is installed where udev reads it.
add_test(NAME mpusbapi_udev_rule_install
  COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DPREFIX=${CMAKE_CURRENT_BINARY_DIR}/udev-rule-prefix
    -P ${CMAKE_CURRENT_LIST_DIR}/check_udev_rule_install.cmake)
