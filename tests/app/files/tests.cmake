tidemet_test(files_tests
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/record_codec_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/list_files_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/trial_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/summary_file_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/safe_file_test.cpp
  LIBS tidemet_core)
