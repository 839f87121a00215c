/* The USB pipe library that the module library loads by name. Both the libusb implementation
 * and the simulated module export exactly these seven functions; every integer is 32-bit.
 * Result convention: nonzero (1) on success, 0 on failure; MPUSBOpen gives a handle or -1. */
#ifndef TIDEMET_MPUSBAPI_H
#define TIDEMET_MPUSBAPI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define MPUSBAPI_EXPORT __attribute__((visibility("default")))

/* The file the module library asks the dynamic loader for. */
#define MPUSBAPI_LIBRARY_NAME "libmpusbapi.so"

#define MPUSB_WRITE 0
#define MPUSB_READ 1
#define MPUSB_INVALID_HANDLE (-1)

MPUSBAPI_EXPORT int32_t MPUSBGetDLLVersion(void);
/* Number of attached devices whose ids match a text such as "vid_04d8&pid_ffe9". */
MPUSBAPI_EXPORT int32_t MPUSBGetDeviceCount(const char* vidPid);
/* Opens pipe `pipeName` ("\MCHP_EP1", "\MCHP_EP2_ASYNC", ...) of the instance-th matching
 * device for writing (0) or reading (1); a handle, or -1. */
MPUSBAPI_EXPORT int32_t MPUSBOpen(int32_t instance, const char* vidPid, const char* pipeName,
                                  int32_t direction, int32_t reserved);
MPUSBAPI_EXPORT int32_t MPUSBWrite(int32_t handle, const void* data, int32_t length, int32_t* sent,
                                   int32_t timeoutMs);
MPUSBAPI_EXPORT int32_t MPUSBRead(int32_t handle, void* data, int32_t length, int32_t* received,
                                  int32_t timeoutMs);
/* Like MPUSBRead, but `received` holds the bytes that came also when the read timed out. */
MPUSBAPI_EXPORT int32_t MPUSBReadInt(int32_t handle, void* data, int32_t length, int32_t* received,
                                     int32_t timeoutMs);
MPUSBAPI_EXPORT int32_t MPUSBClose(int32_t handle);

typedef int32_t (*MPUSBGetDLLVersionFn)(void);
typedef int32_t (*MPUSBGetDeviceCountFn)(const char*);
typedef int32_t (*MPUSBOpenFn)(int32_t, const char*, const char*, int32_t, int32_t);
typedef int32_t (*MPUSBWriteFn)(int32_t, const void*, int32_t, int32_t*, int32_t);
typedef int32_t (*MPUSBReadFn)(int32_t, void*, int32_t, int32_t*, int32_t);
typedef int32_t (*MPUSBCloseFn)(int32_t);

#ifdef __cplusplus
}
#endif

#endif
