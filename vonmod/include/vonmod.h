/* libvonmodvb: flat C interface to the USB data-acquisition module (eight 12-bit analog inputs,
 * two digital ports, a counter, two PWM outputs, a 240-byte EEPROM and streaming).
 *
 * Call order: Vonmod_EnumerateDev, then Vonmod_OpenDevice for an index below the count, then
 * commands on the session, then Vonmod_ReleaseDevice. The caller makes one call at a time.
 * Every function except the conversions, Vonmod_GetDLLVersion and Vonmod_GetErrorDes returns a
 * result code (0 success, 1..23, texts from Vonmod_GetErrorDes).
 *
 * Null arguments never reach memory:
 *  - a null session, or one whose deviceIndex is outside 0..126, gives 8 ("NULL session");
 *  - a null out-value or buffer that the call needs gives 1 ("Unknown Error"), before anything is
 *    sent; Vonmod_ReadMemory and Vonmod_WriteMemory need `data` only when the count is nonzero;
 *  - Vonmod_GetErrorDes with a null text, or a code outside 0..23, copies nothing and returns 0.
 * When libmpusbapi.so could not be loaded, every call behaves as if no module were attached. */
#ifndef TIDEMET_VONMOD_H
#define TIDEMET_VONMOD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define VONMOD_API __attribute__((visibility("default")))

/* Owned by the caller; the library keeps a copy in its device table. */
typedef struct VonmodSession {
  int32_t deviceIndex; /* index in the device table, 0-based in order of discovery */
  int32_t instance;    /* driver instance (0..126) found by enumeration */
  int32_t moduleType;  /* always 0 */
  int32_t writePipe;   /* command pipe; -1 when not open */
  int32_t readPipe;    /* reply pipe; -1 when not open */
} VonmodSession;

#define VONMOD_DLL_VERSION 0x00010007
#define VONMOD_ERROR_TEXT_SIZE 256

VONMOD_API int32_t Vonmod_EnumerateDev(int32_t moduleType, int32_t* count);
VONMOD_API int32_t Vonmod_OpenDevice(int32_t moduleType, int32_t deviceIndex,
                                     VonmodSession* session);
VONMOD_API int32_t Vonmod_ReleaseDevice(VonmodSession* session);
VONMOD_API int32_t Vonmod_GetDeviceSerialNo(VonmodSession* session, int32_t* serial);
VONMOD_API int32_t Vonmod_ReadSingleAnalogIn(VonmodSession* session, int32_t channel, int32_t range,
                                             float* volts, int32_t reserved);
/* option 1 sends option byte 1, anything else 0. */
VONMOD_API int32_t Vonmod_ReadCounter(VonmodSession* session, int32_t option, int32_t* count);
/* write > 0 writes the masked values first; both forms return the two port bytes. */
VONMOD_API int32_t Vonmod_DIO(VonmodSession* session, int32_t mask0, int32_t mask1, uint8_t* value0,
                              uint8_t* value1, int32_t write);
/* `volts` receives channelCount values. */
VONMOD_API int32_t Vonmod_ReadMultiAnalogIn(VonmodSession* session, int32_t firstChannel,
                                            int32_t channelCount, int32_t reserved1, float* volts,
                                            int32_t reserved2);
VONMOD_API float Vonmod_BitsToVolt(int32_t bits);
VONMOD_API int32_t Vonmod_VoltToBits(float volts);
VONMOD_API int32_t Vonmod_AIStartStream(VonmodSession* session, int32_t firstChannel,
                                        int32_t channelCount, int32_t reserved, int32_t scanRate,
                                        int32_t* actualRate, int32_t option);
VONMOD_API int32_t Vonmod_AIStopStream(VonmodSession* session);
/* `volts` must hold scans x (channels of the running stream) values. */
VONMOD_API int32_t Vonmod_AIGetScans(VonmodSession* session, int32_t scans, int32_t timeoutMs,
                                     float* volts, int32_t* scansRead);
/* Copies 43 bytes into `text`; no terminator is added. */
VONMOD_API int32_t Vonmod_GetCredits(VonmodSession* session, char* text);
VONMOD_API int32_t Vonmod_GetDLLVersion(void);
VONMOD_API int32_t Vonmod_GetFirmwareVersion(VonmodSession* session, int32_t* version);
/* `text` must hold VONMOD_ERROR_TEXT_SIZE bytes; returns the bytes copied, terminator included. */
VONMOD_API int32_t Vonmod_GetErrorDes(int32_t code, char* text);
VONMOD_API int32_t Vonmod_Reset(VonmodSession* session);
VONMOD_API int32_t Vonmod_PWMOut(VonmodSession* session, int32_t channel, int32_t dutyPercent,
                                 int32_t periodUs);
VONMOD_API int32_t Vonmod_STOPPWM(VonmodSession* session, int32_t channel);
VONMOD_API int32_t Vonmod_ReadMemory(VonmodSession* session, int32_t count, int32_t address,
                                     uint8_t* data);
VONMOD_API int32_t Vonmod_WriteMemory(VonmodSession* session, int32_t count, int32_t address,
                                      const uint8_t* data);
VONMOD_API int32_t Vonmod_ReadVONM_DEVID(VonmodSession* session, uint8_t* id);
VONMOD_API int32_t Vonmod_10bitPWMOut(VonmodSession* session, int32_t channel, int32_t duty1023,
                                      int32_t periodUs);
VONMOD_API int32_t Vonmod_AIStartContinuous(VonmodSession* session, int32_t firstChannel,
                                            int32_t channelCount);
VONMOD_API int32_t Vonmod_AIStopContinuous(VonmodSession* session, int32_t* counterDelta,
                                           int32_t* trailerWord);

#ifdef __cplusplus
}
#endif

#endif
