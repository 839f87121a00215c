// A pipe library that lacks one entry point, for the binding test.

#include "platform/mpusbapi/mpusbapi.h"

extern "C" {
int32_t MPUSBGetDLLVersion(void) { return 1; }
int32_t MPUSBGetDeviceCount(const char*) { return 1; }
int32_t MPUSBOpen(int32_t, const char*, const char*, int32_t, int32_t) { return 1; }
int32_t MPUSBWrite(int32_t, const void*, int32_t, int32_t*, int32_t) { return 1; }
int32_t MPUSBRead(int32_t, void*, int32_t, int32_t*, int32_t) { return 1; }
int32_t MPUSBClose(int32_t) { return 1; }
}
