// The module's single-packet commands: identity, analog reads, counter and digital ports.

#include <array>

#include "vonmod/src/library.h"
#include "vonmod/src/result_codes.h"
#include "vonmod/src/sample.h"

namespace vonmod {

namespace {

constexpr int32_t kChannels = 8;
constexpr int32_t kCreditsLength = 43;

using Reply = std::array<uint8_t, kPacketSize>;

uint8_t low8(int32_t value) { return static_cast<uint8_t>(value & 0xFF); }

}  // namespace

int32_t Library::getDeviceSerialNo(VonmodSession* session, int32_t* serial) {
  if (!usableSession(session)) return kNullSession;
  if (serial == nullptr) return kUnknownError;
  const std::array<uint8_t, 1> request{0x02};
  Reply reply{};
  if (const int32_t result = command(*session, request, reply.data(), 9); result != kOk)
    return result;
  if (reply[0] != 0x02) return kWrongLength;
  // One hexadecimal digit per byte, least significant first. The sum is kept in 32 bits and wraps,
  // so digits above 9 (a module's out-of-range reply) still give a defined number.
  uint32_t value = 0;
  for (int k = 8; k >= 1; --k) value = value * 16u + reply[static_cast<size_t>(k)];
  *serial = static_cast<int32_t>(value);
  return kOk;
}

int32_t Library::getFirmwareVersion(VonmodSession* session, int32_t* version) {
  if (!usableSession(session)) return kNullSession;
  if (version == nullptr) return kUnknownError;
  const std::array<uint8_t, 1> request{0x01};
  Reply reply{};
  if (const int32_t result = command(*session, request, reply.data(), 3); result != kOk)
    return result;
  if (reply[0] != 0x01) return kWrongLength;
  *version = reply[1] + 256 * reply[2];
  return kOk;
}

int32_t Library::getCredits(VonmodSession* session, char* text) {
  if (!usableSession(session)) return kNullSession;
  if (text == nullptr) return kUnknownError;
  const std::array<uint8_t, 1> request{0x68};
  Reply reply{};
  if (const int32_t result = command(*session, request, reply.data(), 45); result != kOk)
    return result;
  if (reply[0] != 0x68) return kWrongLength;
  for (int32_t i = 0; i < kCreditsLength; ++i)
    text[i] = static_cast<char>(reply[static_cast<size_t>(2 + i)]);
  return kOk;
}

int32_t Library::readDevId(VonmodSession* session, uint8_t* id) {
  if (!usableSession(session)) return kNullSession;
  if (id == nullptr) return kUnknownError;
  const std::array<uint8_t, 1> request{0xFE};
  Reply reply{};
  if (const int32_t result = command(*session, request, reply.data(), 2); result != kOk)
    return result;
  if (reply[0] != 0xFE) return kWrongLength;
  *id = reply[1];
  return kOk;
}

int32_t Library::readSingleAnalogIn(VonmodSession* session, int32_t channel, int32_t range,
                                    float* volts) {
  if (!usableSession(session)) return kNullSession;
  if (volts == nullptr) return kUnknownError;
  if (session->moduleType != 0) return kWrongModuleType;
  if (channel < 0 || channel >= kChannels) return kBadChannel;
  if (range != 0) return kBadRange;
  const std::array<uint8_t, 2> request{0x37, low8(channel)};
  Reply reply{};
  if (const int32_t result = command(*session, request, reply.data(), 4); result != kOk)
    return result;
  if (reply[0] != 0x37 || reply[1] != channel) return kWrongLength;
  *volts = CountToVolts(DecodeSample(reply[2], reply[3]));
  return kOk;
}

int32_t Library::readMultiAnalogIn(VonmodSession* session, int32_t firstChannel,
                                   int32_t channelCount, float* volts) {
  if (!usableSession(session)) return kNullSession;
  if (volts == nullptr) return kUnknownError;
  if (session->moduleType != 0) return kWrongModuleType;
  if (firstChannel < 0) return kBadChannel;
  if (channelCount < 1 || firstChannel > kChannels - channelCount) return kBadChannelCount;
  const std::array<uint8_t, 3> request{0x38, low8(firstChannel),
                                       low8(firstChannel + channelCount - 1)};
  Reply reply{};
  const int32_t expected = 2 * channelCount + 2;
  if (const int32_t result = command(*session, request, reply.data(), expected); result != kOk)
    return result;
  if (reply[0] != 0x38) return kWrongLength;
  for (int32_t i = 0; i < channelCount; ++i) {
    const auto at = static_cast<size_t>(2 + 2 * i);
    volts[i] = CountToVolts(DecodeSample(reply[at], reply[at + 1]));
  }
  return kOk;
}

int32_t Library::readCounter(VonmodSession* session, int32_t option, int32_t* count) {
  if (!usableSession(session)) return kNullSession;
  if (count == nullptr) return kUnknownError;
  const std::array<uint8_t, 2> request{0x52, static_cast<uint8_t>(option == 1 ? 1 : 0)};
  Reply reply{};
  if (const int32_t result = command(*session, request, reply.data(), 4); result != kOk)
    return result;
  if (reply[0] != 0x52) return kWrongLength;
  *count = reply[2] + 256 * reply[3];
  return kOk;
}

int32_t Library::dio(VonmodSession* session, int32_t mask0, int32_t mask1, uint8_t* value0,
                     uint8_t* value1, int32_t write) {
  if (!usableSession(session)) return kNullSession;
  if (value0 == nullptr || value1 == nullptr) return kUnknownError;
  Reply reply{};
  int32_t result;
  if (write > 0) {
    const std::array<uint8_t, 5> request{0x43, low8(mask0), low8(mask1), *value0, *value1};
    result = command(*session, request, reply.data(), 5);
  } else {
    const std::array<uint8_t, 1> request{0x42};
    result = command(*session, request, reply.data(), 3);
  }
  if (result != kOk) return result;
  if (reply[0] != 0x42 && reply[0] != 0x43) return kWrongLength;
  *value0 = reply[1];
  *value1 = reply[2];
  return kOk;
}

}  // namespace vonmod
