// libmpusbapi.so over libusb-1.0: the seven exports on one process-wide pipe table.

#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/usb/libusb_bus.h"
#include "platform/mpusbapi/usb/usb_pipes.h"

namespace {

// The exports have no context argument, so the table lives as long as the library is loaded.
mpusb::UsbPipes& pipes() {
  static mpusb::UsbPipes instance(mpusb::makeLibusbBus());
  return instance;
}

}  // namespace

extern "C" {

int32_t MPUSBGetDLLVersion(void) { return 0x01000000; }

int32_t MPUSBGetDeviceCount(const char* vidPid) { return pipes().count(vidPid); }

int32_t MPUSBOpen(int32_t instance, const char* vidPid, const char* pipeName, int32_t direction,
                  int32_t /*reserved*/) {
  return pipes().open(instance, vidPid, pipeName, direction);
}

int32_t MPUSBWrite(int32_t handle, const void* data, int32_t length, int32_t* sent,
                   int32_t timeoutMs) {
  return pipes().write(handle, data, length, sent, timeoutMs);
}

int32_t MPUSBRead(int32_t handle, void* data, int32_t length, int32_t* received,
                  int32_t timeoutMs) {
  return pipes().read(handle, data, length, received, timeoutMs, false);
}

int32_t MPUSBReadInt(int32_t handle, void* data, int32_t length, int32_t* received,
                     int32_t timeoutMs) {
  return pipes().read(handle, data, length, received, timeoutMs, true);
}

int32_t MPUSBClose(int32_t handle) { return pipes().close(handle); }

}  // extern "C"
