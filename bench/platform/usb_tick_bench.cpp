// The USB pipe layer's own cost of one monitor tick of the module: the 8-channel read command
// written to the command pipe and its 18-byte reply read from the reply pipe, through the pipe
// table with its handle look-ups, endpoint checks and reply buffer. The module answers at once,
// in memory, so the figure is the layer's and not the USB round trip's.
//  - arg 18: the module answers exactly what was asked; arg 64: it pads to a full packet.

#include <benchmark/benchmark.h>

#include "platform/mpusbapi/usb/usb_pipes.h"
#include "tests/platform/mpusbapi/fake_usb_bus.h"

namespace {

void ModuleTick(benchmark::State& state) {
  auto bus = std::make_unique<mpusb::FakeUsbBus>();
  mpusb::FakeModule& module = bus->plug({1, {2}});
  const auto replySize = static_cast<size_t>(state.range(0));
  module.respond = [&](const std::vector<uint8_t>&) {
    module.written.clear();
    module.timeouts.clear();
    return std::vector<uint8_t>(replySize, 0x38);
  };
  mpusb::UsbPipes pipes(std::move(bus));
  const int32_t out = pipes.open(0, "vid_04d8&pid_ffe9", "\\MCHP_EP1", MPUSB_WRITE);
  const int32_t in = pipes.open(0, "vid_04d8&pid_ffe9", "\\MCHP_EP1", MPUSB_READ);
  const uint8_t request[3] = {0x38, 0, 7};
  uint8_t reply[64];
  for (auto _ : state) {
    int32_t sent = 0, received = 0;
    if (pipes.write(out, request, 3, &sent, 1000) != 1 ||
        pipes.read(in, reply, 18, &received, 1000, false) != 1)
      state.SkipWithError("tick failed");
    benchmark::DoNotOptimize(reply);
  }
}
BENCHMARK(ModuleTick)->Arg(18)->Arg(64);

}  // namespace
