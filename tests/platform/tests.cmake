tidemet_test(mpusbapi_usb_tests
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/usb_names_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/mpusbapi/usb_pipes_test.cpp
  LIBS mpusbapi_pipes)
