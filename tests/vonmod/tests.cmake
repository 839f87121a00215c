# The module library is tested as a program uses it: linked to libvonmodvb.so, which finds a
# libmpusbapi.so through the library search path given here.
function(vonmod_test name)
  cmake_parse_arguments(T "" "PIPE_LIBRARY_DIR;PREFIX" "SOURCES;LIBS;DEFINITIONS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${CMAKE_DL_LIBS} GTest::gtest GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${name} PRIVATE ${T_DEFINITIONS})
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_PREFIX "${T_PREFIX}"
    PROPERTIES TIMEOUT 300 ENVIRONMENT "LD_LIBRARY_PATH=${T_PIPE_LIBRARY_DIR}")
endfunction()

vonmod_test(vonmod_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/session_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/commands_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pwm_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/stream_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/eeprom_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/interface_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/c_header_check.c
  LIBS vonmodvb
  PIPE_LIBRARY_DIR ${TIDEMET_MPUSBAPI_SIM_DIR})
add_dependencies(vonmod_tests mpusbapi_sim)

# Binding failures: no pipe library on the search path, and one without MPUSBReadInt.
set(partial_dir ${CMAKE_BINARY_DIR}/lib/mpusbapi-partial)
add_library(mpusbapi_partial SHARED ${CMAKE_CURRENT_LIST_DIR}/partial_mpusbapi.cpp)
target_include_directories(mpusbapi_partial PRIVATE ${PROJECT_SOURCE_DIR})
set_target_properties(mpusbapi_partial PROPERTIES OUTPUT_NAME mpusbapi LIBRARY_OUTPUT_DIRECTORY ${partial_dir})

vonmod_test(vonmod_missing_pipe_tests PREFIX missing_pipe.
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/unbound_test.cpp
  DEFINITIONS VONMOD_LIBRARY_FILE="$<TARGET_FILE:vonmodvb>" VONMOD_EXPECTED_ERROR="Error: Error loading libmpusbapi.so"
  PIPE_LIBRARY_DIR ${CMAKE_BINARY_DIR}/lib/mpusbapi-none)
vonmod_test(vonmod_partial_pipe_tests PREFIX partial_pipe.
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/unbound_test.cpp
  DEFINITIONS VONMOD_LIBRARY_FILE="$<TARGET_FILE:vonmodvb>" VONMOD_EXPECTED_ERROR="Error: GetProcessAddress Error"
  PIPE_LIBRARY_DIR ${partial_dir})
add_dependencies(vonmod_missing_pipe_tests vonmodvb)
add_dependencies(vonmod_partial_pipe_tests vonmodvb mpusbapi_partial)

# Only the 26 public functions leave the library.
add_test(NAME vonmod_exports
  COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:vonmodvb> -DNM=${CMAKE_NM}
          -P ${CMAKE_CURRENT_LIST_DIR}/check_exports.cmake)
