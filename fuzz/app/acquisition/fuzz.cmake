tidemet_fuzz(cpuinfo
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cpuinfo_fuzz.cpp
  LIBS tidemet_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/cpuinfo)
