#include "platform/labjackud/backend.h"

namespace labjack {

const char* ErrorText(LJ_ERROR code) {
  switch (code) {
    case LJE_NOERROR:
      return "No error";
    case LJE_INVALID_CHANNEL_NUMBER:
      return "Invalid channel number";
    case LJE_INVALID_IO_TYPE:
      return "Invalid IOType";
    case LJE_AIN_NOT_ANALOG:
      return "Line is not configured as an analog input";
    case LJE_UNKNOWN_ERROR:
      return "Unknown error";
    case LJE_INVALID_DEVICE_TYPE:
      return "Invalid device type";
    case LJE_INVALID_HANDLE:
      return "Invalid handle";
    case LJE_INVALID_CONNECTION_TYPE:
      return "Invalid connection type";
    case LJE_LABJACK_NOT_FOUND:
      return "LabJack not found";
    case LJE_COMM_FAILURE:
      return "Communication failure";
    case LJE_CHECKSUM_ERROR:
      return "Checksum error in the communication with the U3";
    case LJE_COMM_TIMEOUT:
      return "The U3 did not answer in time";
    case LJE_NO_DEVICE_ACCESS:
      return "A U3 is attached, but this user may not open it (install the udev rule)";
    default:
      return nullptr;
  }
}

}  // namespace labjack
