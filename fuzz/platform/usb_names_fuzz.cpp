// The texts the USB pipe layer takes from its callers and the locations libusb reports: the
// device's vendor and product ("vid_04d8&pid_ffe9"), the pipe names ("\MCHP_EP1") and hub port
// paths. Whatever is accepted reads back as what was written, and the order is a strict one.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/mpusbapi/usb/usb_names.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (auto ids = mpusb::parseVidPid(text)) {
    char again[32];
    std::snprintf(again, sizeof again, "vid_%04x&pid_%04x", ids->vid, ids->pid);
    if (mpusb::parseVidPid(again) != ids) __builtin_trap();
  }
  for (int32_t direction : {0, 1, 2, -1}) {
    if (auto address = mpusb::endpointAddress(text, direction)) {
      const unsigned n = *address & 0x7F;
      if (n < 1 || n > 15 || ((*address & 0x80) != 0) != (direction == 1)) __builtin_trap();
    }
  }
  // Two locations from the bytes: bus, depth, ports.
  mpusb::DeviceLocation a, b;
  size_t i = 0;
  for (mpusb::DeviceLocation* l : {&a, &b}) {
    if (i >= size) break;
    l->bus = data[i++];
    const size_t depth = i < size ? data[i++] % 8 : 0;
    for (size_t k = 0; k < depth && i < size; ++k) l->ports.push_back(data[i++]);
  }
  const bool ab = mpusb::locatedBefore(a, b), ba = mpusb::locatedBefore(b, a);
  if ((ab && ba) || (a == b && (ab || ba)) || (a != b && !ab && !ba)) __builtin_trap();
  return 0;
}
