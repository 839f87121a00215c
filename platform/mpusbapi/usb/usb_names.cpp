#include "platform/mpusbapi/usb/usb_names.h"

#include <algorithm>
#include <cctype>

namespace mpusb {

namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  return true;
}

std::optional<uint16_t> hex4(std::string_view text) {
  if (text.size() != 4) return std::nullopt;
  uint16_t value = 0;
  for (const char c : text) {
    const int lower = std::tolower(static_cast<unsigned char>(c));
    int digit;
    if (lower >= '0' && lower <= '9')
      digit = lower - '0';
    else if (lower >= 'a' && lower <= 'f')
      digit = lower - 'a' + 10;
    else
      return std::nullopt;
    value = static_cast<uint16_t>(value * 16 + digit);
  }
  return value;
}

}  // namespace

std::optional<VidPid> parseVidPid(std::string_view text) {
  // vid_XXXX&pid_YYYY
  if (text.size() != 17 || !startsWithNoCase(text, "vid_") || text[8] != '&' ||
      !startsWithNoCase(text.substr(9), "pid_"))
    return std::nullopt;
  const auto vid = hex4(text.substr(4, 4));
  const auto pid = hex4(text.substr(13, 4));
  if (!vid || !pid) return std::nullopt;
  return VidPid{*vid, *pid};
}

std::optional<uint8_t> endpointAddress(std::string_view pipeName, int32_t direction) {
  if (direction != 0 && direction != 1) return std::nullopt;
  if (!startsWithNoCase(pipeName, "\\mchp_ep")) return std::nullopt;
  std::string_view rest = pipeName.substr(8);
  if (rest.size() >= 6 && startsWithNoCase(rest.substr(rest.size() - 6), "_async"))
    rest.remove_suffix(6);
  if (rest.empty() || rest.size() > 2 || (rest.size() == 2 && rest[0] == '0')) return std::nullopt;
  int number = 0;
  for (const char c : rest) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  if (number < 1 || number > 15) return std::nullopt;
  return static_cast<uint8_t>(number | (direction == 1 ? 0x80 : 0x00));
}

bool locatedBefore(const DeviceLocation& a, const DeviceLocation& b) {
  if (a.bus != b.bus) return a.bus < b.bus;
  return std::lexicographical_compare(a.ports.begin(), a.ports.end(), b.ports.begin(),
                                      b.ports.end());
}

}  // namespace mpusb
