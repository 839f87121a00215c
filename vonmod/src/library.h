#pragma once
// The module library behind the exports: the device table, the request/reply transport and the
// module's command set, over whatever pipe driver it is given. Exports forward here one to one,
// so every argument check lives in these methods.

#include <cstdint>
#include <span>

#include "vonmod/include/vonmod.h"
#include "vonmod/src/device_table.h"
#include "vonmod/src/pipe_driver.h"

namespace vonmod {

inline constexpr int32_t kPacketSize = 64;  // one full-speed USB packet
inline constexpr int32_t kCommandTimeoutMs = 1000;
inline constexpr int32_t kDrainTimeoutMs = 300;
inline constexpr int32_t kDrainReadsPerPipe = 100;

class Library {
 public:
  explicit Library(PipeDriver& driver) : driver_(driver) {}
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  // Sessions (session_ops.cpp).
  int32_t enumerateDev(int32_t moduleType, int32_t* count);
  int32_t openDevice(int32_t moduleType, int32_t deviceIndex, VonmodSession* session);
  int32_t releaseDevice(VonmodSession* session);
  int32_t reset(VonmodSession* session);

  // Plain commands (commands.cpp).
  int32_t getDeviceSerialNo(VonmodSession* session, int32_t* serial);
  int32_t getFirmwareVersion(VonmodSession* session, int32_t* version);
  int32_t getCredits(VonmodSession* session, char* text);
  int32_t readDevId(VonmodSession* session, uint8_t* id);
  int32_t readSingleAnalogIn(VonmodSession* session, int32_t channel, int32_t range, float* volts);
  int32_t readMultiAnalogIn(VonmodSession* session, int32_t firstChannel, int32_t channelCount,
                            float* volts);
  int32_t readCounter(VonmodSession* session, int32_t option, int32_t* count);
  int32_t dio(VonmodSession* session, int32_t mask0, int32_t mask1, uint8_t* value0,
              uint8_t* value1, int32_t write);

  // PWM (pwm.cpp).
  int32_t pwmOut(VonmodSession* session, int32_t channel, int32_t dutyPercent, int32_t periodUs);
  int32_t pwmOut10bit(VonmodSession* session, int32_t channel, int32_t duty1023, int32_t periodUs);
  int32_t stopPwm(VonmodSession* session, int32_t channel);

  // Streaming (stream.cpp).
  int32_t aiStartStream(VonmodSession* session, int32_t firstChannel, int32_t channelCount,
                        int32_t scanRate, int32_t* actualRate, int32_t option);
  int32_t aiStartContinuous(VonmodSession* session, int32_t firstChannel, int32_t channelCount);
  int32_t aiStopStream(VonmodSession* session);
  int32_t aiStopContinuous(VonmodSession* session, int32_t* counterDelta, int32_t* trailerWord);
  int32_t aiGetScans(VonmodSession* session, int32_t scans, int32_t timeoutMs, float* volts,
                     int32_t* scansRead);

  // EEPROM (eeprom.cpp).
  int32_t readMemory(VonmodSession* session, int32_t count, int32_t address, uint8_t* data);
  int32_t writeMemory(VonmodSession* session, int32_t count, int32_t address, const uint8_t* data);

 private:
  // Transport (transport.cpp).
  int32_t Transact(VonmodSession& session, std::span<const uint8_t> request, uint8_t* reply,
                   int32_t expected, int32_t readTimeoutMs);
  // Transact, and on a transfer failure close the whole session.
  int32_t command(VonmodSession& session, std::span<const uint8_t> request, uint8_t* reply,
                  int32_t expected);
  void Drain(VonmodDeviceEntry& entry);
  void closeCommandPipe(VonmodSession& session);
  void closeReplyPipe(VonmodSession& session);
  void closeSession(VonmodSession& session);
  int32_t release(VonmodSession& session);
  int32_t stopStream(VonmodSession& session);
  int32_t startStreamPipes(VonmodSession& session, int32_t firstChannel, int32_t channelCount);
  int32_t sendPwm(VonmodSession& session, int32_t channel, int32_t periodUs, bool tenBit,
                  int32_t duty);
  VonmodDeviceEntry& entryOf(const VonmodSession& session) { return table_[session.deviceIndex]; }

  PipeDriver& driver_;
  DeviceTable table_{};
};

// A session the library can work with: not null and naming a table entry.
inline bool usableSession(const VonmodSession* session) {
  return session != nullptr && validDeviceIndex(session->deviceIndex);
}

inline bool pipesOpen(const VonmodSession& session) {
  return session.writePipe != kNoPipe && session.readPipe != kNoPipe;
}

}  // namespace vonmod
