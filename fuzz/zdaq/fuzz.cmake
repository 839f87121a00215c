tidemet_fuzz(zdaq_sample_ring
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/sample_ring_fuzz.cpp
  LIBS zdaq
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/sample_ring)
tidemet_fuzz(zdaq_setup_request
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/setup_request_fuzz.cpp
  LIBS zdaq
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/setup_request)
tidemet_fuzz(zdaq_udev_strings
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/udev_strings_fuzz.cpp
  LIBS zdaq
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/udev_strings)
