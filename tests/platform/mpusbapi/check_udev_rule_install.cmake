# Installs the udev rule into an empty prefix and checks that it is the one file there, in
# lib/udev/rules.d (not in a library folder such as lib/x86_64-linux-gnu/udev/rules.d).
file(REMOVE_RECURSE ${PREFIX})
execute_process(
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} --component udev-rule
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
file(GLOB_RECURSE installed RELATIVE ${PREFIX} ${PREFIX}/*)
if(NOT installed STREQUAL "lib/udev/rules.d/60-tidemet-vonmod.rules")
  message(FATAL_ERROR "installed '${installed}', want lib/udev/rules.d/60-tidemet-vonmod.rules")
endif()
file(REMOVE_RECURSE ${PREFIX})
