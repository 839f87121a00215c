tidemet_fuzz(cpuinfo
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/cpuinfo_fuzz.cpp
  LIBS tidemet_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/cpuinfo)
tidemet_fuzz(rv2_reassembly
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/rv2_reassembly_fuzz.cpp
  LIBS tidemet_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/rv2_reassembly)
