// The processor information file, any bytes: the parser keeps inside them and gives short texts.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/acquisition/diagnostics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto info =
      tidemet::ParseCpuInfo(std::string_view(reinterpret_cast<const char*>(data), size));
  if (info.type.size() > size || info.speed.size() > 16) std::abort();
  return 0;
}
