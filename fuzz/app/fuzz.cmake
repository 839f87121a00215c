tidemet_fuzz(serial_frame
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/serial_frame_fuzz.cpp
  LIBS tidemet_core
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/serial_frame)
