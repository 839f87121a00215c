tidemet_fuzz(summary_fuzz
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/summary_fuzz.cpp
  LIBS tidemet_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus)
