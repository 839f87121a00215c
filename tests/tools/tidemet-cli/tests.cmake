# Only where the tool is part of the build (the thread-sanitizer build has the device library alone).
if(TARGET tidemet_cli_lib)
  tidemet_test(cli_tests
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/cli_test.cpp
    LIBS tidemet_cli_lib)
  # The program itself: help succeeds, a call without a command is wrong usage.
  add_test(NAME cli.help COMMAND tidemet-cli analyze --help)
  add_test(NAME cli.usage COMMAND tidemet-cli)
  set_tests_properties(cli.usage PROPERTIES WILL_FAIL TRUE)
endif()
