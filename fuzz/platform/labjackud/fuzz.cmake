# The layer's sources are compiled into the target itself, so that the fuzzer sees their coverage.
set(_u3 ${PROJECT_SOURCE_DIR}/platform/labjackud/usb)
tidemet_fuzz(labjack_u3_reply
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/u3_reply_fuzz.cpp ${_u3}/u3_protocol.cpp ${_u3}/u3_calibration.cpp
          ${_u3}/u3_device.cpp ${_u3}/ud_driver.cpp
  CORPUS ${CMAKE_CURRENT_LIST_DIR}/corpus)
