// The exported C interface. The library binds the pipe library when it is loaded and keeps one
// device table for the process; every export forwards to that one Library.

#include <cstdio>

#include "vonmod/include/vonmod.h"
#include "vonmod/src/error_text.h"
#include "vonmod/src/library.h"
#include "vonmod/src/pipe_binding.h"

namespace {

struct Loaded {
  vonmod::BoundPipeDriver driver{MPUSBAPI_LIBRARY_NAME, stderr};
  vonmod::Library library{driver};
};

vonmod::Library& library() {
  static Loaded loaded;
  return loaded.library;
}

// Binding happens at load, so a missing pipe library is reported when the program starts.
__attribute__((constructor)) void bindAtLoad() { library(); }

}  // namespace

extern "C" {

int32_t Vonmod_EnumerateDev(int32_t moduleType, int32_t* count) {
  return library().enumerateDev(moduleType, count);
}

int32_t Vonmod_OpenDevice(int32_t moduleType, int32_t deviceIndex, VonmodSession* session) {
  return library().openDevice(moduleType, deviceIndex, session);
}

int32_t Vonmod_ReleaseDevice(VonmodSession* session) { return library().releaseDevice(session); }

int32_t Vonmod_GetDeviceSerialNo(VonmodSession* session, int32_t* serial) {
  return library().getDeviceSerialNo(session, serial);
}

int32_t Vonmod_ReadSingleAnalogIn(VonmodSession* session, int32_t channel, int32_t range,
                                  float* volts, int32_t /*reserved*/) {
  return library().readSingleAnalogIn(session, channel, range, volts);
}

int32_t Vonmod_ReadCounter(VonmodSession* session, int32_t option, int32_t* count) {
  return library().readCounter(session, option, count);
}

int32_t Vonmod_DIO(VonmodSession* session, int32_t mask0, int32_t mask1, uint8_t* value0,
                   uint8_t* value1, int32_t write) {
  return library().dio(session, mask0, mask1, value0, value1, write);
}

int32_t Vonmod_ReadMultiAnalogIn(VonmodSession* session, int32_t firstChannel, int32_t channelCount,
                                 int32_t /*reserved1*/, float* volts, int32_t /*reserved2*/) {
  return library().readMultiAnalogIn(session, firstChannel, channelCount, volts);
}

float Vonmod_BitsToVolt(int32_t bits) { return static_cast<float>(bits * 0.001); }

int32_t Vonmod_VoltToBits(float volts) {
  const double bits = static_cast<double>(volts) * 1000.0;
  // Out-of-range volts saturate instead of converting undefinedly.
  if (!(bits > -2147483648.0)) return bits != bits ? 0 : INT32_MIN;
  if (bits >= 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(bits);
}

int32_t Vonmod_AIStartStream(VonmodSession* session, int32_t firstChannel, int32_t channelCount,
                             int32_t /*reserved*/, int32_t scanRate, int32_t* actualRate,
                             int32_t option) {
  return library().aiStartStream(session, firstChannel, channelCount, scanRate, actualRate, option);
}

int32_t Vonmod_AIStopStream(VonmodSession* session) { return library().aiStopStream(session); }

int32_t Vonmod_AIGetScans(VonmodSession* session, int32_t scans, int32_t timeoutMs, float* volts,
                          int32_t* scansRead) {
  return library().aiGetScans(session, scans, timeoutMs, volts, scansRead);
}

int32_t Vonmod_GetCredits(VonmodSession* session, char* text) {
  return library().getCredits(session, text);
}

int32_t Vonmod_GetDLLVersion(void) { return VONMOD_DLL_VERSION; }

int32_t Vonmod_GetFirmwareVersion(VonmodSession* session, int32_t* version) {
  return library().getFirmwareVersion(session, version);
}

int32_t Vonmod_GetErrorDes(int32_t code, char* text) { return vonmod::GetErrorDes(code, text); }

int32_t Vonmod_Reset(VonmodSession* session) { return library().reset(session); }

int32_t Vonmod_PWMOut(VonmodSession* session, int32_t channel, int32_t dutyPercent,
                      int32_t periodUs) {
  return library().pwmOut(session, channel, dutyPercent, periodUs);
}

int32_t Vonmod_STOPPWM(VonmodSession* session, int32_t channel) {
  return library().stopPwm(session, channel);
}

int32_t Vonmod_ReadMemory(VonmodSession* session, int32_t count, int32_t address, uint8_t* data) {
  return library().readMemory(session, count, address, data);
}

int32_t Vonmod_WriteMemory(VonmodSession* session, int32_t count, int32_t address,
                           const uint8_t* data) {
  return library().writeMemory(session, count, address, data);
}

int32_t Vonmod_ReadVONM_DEVID(VonmodSession* session, uint8_t* id) {
  return library().readDevId(session, id);
}

int32_t Vonmod_10bitPWMOut(VonmodSession* session, int32_t channel, int32_t duty1023,
                           int32_t periodUs) {
  return library().pwmOut10bit(session, channel, duty1023, periodUs);
}

int32_t Vonmod_AIStartContinuous(VonmodSession* session, int32_t firstChannel,
                                 int32_t channelCount) {
  return library().aiStartContinuous(session, firstChannel, channelCount);
}

int32_t Vonmod_AIStopContinuous(VonmodSession* session, int32_t* counterDelta,
                                int32_t* trailerWord) {
  return library().aiStopContinuous(session, counterDelta, trailerWord);
}

}  // extern "C"
