#pragma once
// Inside the library: what serves the UD calls. The real driver over libusb does, unless a test
// or the demo has put a simulated U3 in its place. The library is process-wide, as the outside
// driver is; the exported calls hold one lock around the backend.

#include "platform/labjackud/labjackud.h"

namespace labjack {

class Backend {
 public:
  virtual double version() = 0;
  virtual LJ_ERROR open(int32_t deviceType, int32_t connectionType, const char* address,
                        int32_t firstFound, LJ_HANDLE* handle) = 0;
  virtual LJ_ERROR put(LJ_HANDLE handle, int32_t ioType, int32_t channel, double value,
                       int32_t x1) = 0;
  virtual LJ_ERROR get(LJ_HANDLE handle, int32_t ioType, int32_t channel, double* value,
                       int32_t x1) = 0;

 protected:
  ~Backend() = default;
};

// Serves the calls from now on; null: the real driver over libusb.
void SelectBackend(Backend* backend);

// The driver's text for a code, or null for a code it does not know.
const char* ErrorText(LJ_ERROR code);

}  // namespace labjack
