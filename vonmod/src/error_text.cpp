#include "vonmod/src/error_text.h"

#include <array>
#include <cstring>

#include "vonmod/src/result_codes.h"

namespace vonmod {

namespace {

constexpr std::array<const char*, kResultCount> kTexts{
    "No Error",
    "Unknown Error",
    "device index exceed the max device number of that type",
    "No such Vonmod module type or wrong device type",
    "Open device session error",
    "device maybe used by other application or session already been opened",
    "Write error, it could be the device disconnected",
    "Read error, it could be the device disconnected",
    "NULL session",
    "Partially failed, incorrect receive length",
    "the byte count number is invalid or exceed the eeprom size",
    "channel number is incorrect",
    "number of channels invalid",
    "Wrong input voltage range",
    "Duty cycle value should be between 0- 1023",
    "The IO channel is not an output channel",
    "wrong PWM period",
    "Too many data sets requested, max. allowed number of samples is 3200",
    "Timeout when waiting for required number of samples",
    "At least 128 samples required",
    "Exceed maximum data throughput",
    "Try to write/read data beyond allowed EEPROM boundary",
    "PWM period parameter is too big, the max. allowed period is 333 us",
    "PWM period parameter is too small, the min. allowed period is 3 us",
};

}  // namespace

int32_t GetErrorDes(int32_t code, char* text) {
  if (text == nullptr || code < 0 || code >= kResultCount) return 0;
  const size_t length = std::strlen(kTexts[static_cast<size_t>(code)]) + 1;
  static_assert(kErrorTextSlot > 69);
  std::memcpy(text, kTexts[static_cast<size_t>(code)], length);
  return static_cast<int32_t>(length);
}

}  // namespace vonmod
