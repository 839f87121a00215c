tidemet_fuzz(trial_file_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/trial_file_fuzz.cpp
  LIBS tidemet_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/trial_file)
tidemet_fuzz(list_files_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/list_files_fuzz.cpp
  LIBS tidemet_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/list_files)
