// EEPROM transfers, in chunks that fit one packet behind the five-byte header.

#include <algorithm>
#include <array>

#include "vonmod/src/library.h"
#include "vonmod/src/result_codes.h"

namespace vonmod {

namespace {

constexpr int32_t kEepromSize = 240;
constexpr int32_t kChunk = 59;
constexpr int32_t kHeader = 5;

}  // namespace

int32_t Library::readMemory(VonmodSession* session, int32_t count, int32_t address, uint8_t* data) {
  if (!usableSession(session)) return kNullSession;
  const int32_t n = count & 0xFF;
  const int32_t at = address & 0xFF;
  if (n > 0 && data == nullptr) return kUnknownError;
  if (n + at > kEepromSize) return kBadByteCount;
  if (!pipesOpen(*session)) return kNullSession;
  for (int32_t done = 0; done < n; done += kChunk) {
    const int32_t part = std::min(kChunk, n - done);
    const std::array<uint8_t, kHeader> request{0x62, static_cast<uint8_t>(part),
                                               static_cast<uint8_t>(at + done), 0, 0};
    std::array<uint8_t, kPacketSize> reply{};
    if (const int32_t result = command(*session, request, reply.data(), part + kHeader);
        result != kOk)
      return result;
    if (reply[0] != 0x62) return kWrongLength;
    std::copy_n(reply.begin() + kHeader, part, data + done);
  }
  return kOk;
}

int32_t Library::writeMemory(VonmodSession* session, int32_t count, int32_t address,
                             const uint8_t* data) {
  if (!usableSession(session)) return kNullSession;
  const int32_t n = count & 0xFF;
  const int32_t at = address & 0xFF;
  if (n > 0 && data == nullptr) return kUnknownError;
  if (!pipesOpen(*session)) return kNullSession;
  if (n + at > kEepromSize) return kBeyondEeprom;
  for (int32_t done = 0; done < n; done += kChunk) {
    const int32_t part = std::min(kChunk, n - done);
    std::array<uint8_t, kPacketSize> request{0x61, static_cast<uint8_t>(part),
                                             static_cast<uint8_t>(at + done), 0, 0};
    std::copy_n(data + done, part, request.begin() + kHeader);
    std::array<uint8_t, kPacketSize> reply{};
    const auto length = static_cast<size_t>(kHeader + part);
    if (const int32_t result =
            command(*session, std::span<const uint8_t>(request.data(), length), reply.data(), 1);
        result != kOk)
      return result;
    if (reply[0] != 0x61) return kWrongLength;
  }
  return kOk;
}

}  // namespace vonmod
