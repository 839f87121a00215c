tidemet_test(files_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/record_codec_test.cpp
  LIBS tidemet_core)
