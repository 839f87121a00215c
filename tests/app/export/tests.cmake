tidemet_test(export_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/trial_export_test.cpp
  LIBS tidemet_core)
target_include_directories(export_tests SYSTEM PRIVATE ${EDFLIB_INCLUDE_DIR})
