// Bytes from a serial unit, any length: the scan must stay inside them and only take frames that
// lie wholly inside.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "app/acquisition/serial_unit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto frame = tidemet::ScanReply(std::span<const uint8_t>(data, size));
  if (frame && frame->offset + tidemet::kReplyFrameSize > size) std::abort();
  return 0;
}
