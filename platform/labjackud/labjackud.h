/* The LabJack UD calls the monitor makes, with the IOTypes and error codes it uses. Every call
 * returns 0 on success or an error code; volts come back in `value`. Handles and codes are
 * 32-bit. The calls reach the first U3 on USB through libusb (usb/); tests and the demo put a
 * simulated U3 in its place (bus_control.h, sim_control.h). Without a U3, OpenLabJack answers
 * LJE_LABJACK_NOT_FOUND. */
#ifndef TIDEMET_LABJACKUD_H
#define TIDEMET_LABJACKUD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define LABJACKUD_EXPORT __attribute__((visibility("default")))

typedef int32_t LJ_HANDLE;
typedef int32_t LJ_ERROR;

/* Device and connection types. */
#define LJ_dtU3 3
#define LJ_ctUSB 1

/* IOTypes. */
#define LJ_ioGET_AIN 10                  /* single-ended analog input, volts */
#define LJ_ioGET_AIN_DIFF 15             /* analog input against negative channel x1, volts */
#define LJ_ioHALT 203                    /* ends what the device is doing, clears a latched fault */
#define LJ_ioPUT_ANALOG_ENABLE_PORT 2015 /* bit i of value: line i analog; x1 = number of bits */
#define LJ_ioPIN_CONFIGURATION_RESET 2017

/* Negative channel 32: the U3's special range (inputs up to about +-2.4 V). */
#define LJ_chSPECIAL_NEGATIVE 32

/* Error codes. */
#define LJE_NOERROR 0
#define LJE_INVALID_CHANNEL_NUMBER 2
#define LJE_INVALID_IO_TYPE 5
#define LJE_AIN_NOT_ANALOG 13
#define LJE_UNKNOWN_ERROR 1001
#define LJE_INVALID_DEVICE_TYPE 1002
#define LJE_INVALID_HANDLE 1003
#define LJE_INVALID_CONNECTION_TYPE 1005
#define LJE_LABJACK_NOT_FOUND 1007
#define LJE_COMM_FAILURE 1008     /* the U3 was unplugged, or its reply was cut short */
#define LJE_CHECKSUM_ERROR 1009   /* a reply (or, as the U3 saw it, a command) was corrupted */
#define LJE_COMM_TIMEOUT 1011     /* the U3 did not answer in time */
#define LJE_NO_DEVICE_ACCESS 1012 /* a U3 is attached, but this user may not open it */
/* The U3 refused a command with its own error code n: LJE_DEVICE_ERROR_BASE + n (n 1-255). */
#define LJE_DEVICE_ERROR_BASE 2000

/* ErrorToString writes at most this many bytes, terminating zero included. */
#define LJ_ERROR_TEXT_SIZE 256

LABJACKUD_EXPORT double GetDriverVersion(void);
/* address: the local ID as text; with firstFound nonzero the first U3 found is opened and
 * address is ignored. Opening an open device again gives the same handle. */
LABJACKUD_EXPORT LJ_ERROR OpenLabJack(int32_t deviceType, int32_t connectionType,
                                      const char* address, int32_t firstFound, LJ_HANDLE* handle);
LABJACKUD_EXPORT LJ_ERROR ePut(LJ_HANDLE handle, int32_t ioType, int32_t channel, double value,
                               int32_t x1);
LABJACKUD_EXPORT LJ_ERROR eGet(LJ_HANDLE handle, int32_t ioType, int32_t channel, double* value,
                               int32_t x1);
/* text: room for LJ_ERROR_TEXT_SIZE bytes. */
LABJACKUD_EXPORT void ErrorToString(LJ_ERROR code, char* text);

#ifdef __cplusplus
}
#endif

#endif
