tidemet_fuzz(usb_names
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/usb_names_fuzz.cpp
  LIBS mpusbapi_names
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus/usb_names)
