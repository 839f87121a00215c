tidemet_fuzz(vonmod_module_reply
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/module_reply_fuzz.cpp
  LIBS vonmod_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus)
