// The USB pipe layer's own cost of one monitor tick of the module: the 8-channel read command
// written to the command pipe and its 18-byte reply read from the reply pipe, through the pipe
// table with its handle look-ups and reply buffer. The module answers at once from a reply made
// before timing, so the figure is the layer's and not the USB round trip's.
//  - arg 18: the module answers exactly what was asked; arg 64: it pads to a full packet.

#include <benchmark/benchmark.h>
#include <libusb.h>

#include <algorithm>

#include "platform/mpusbapi/usb/usb_pipes.h"

namespace {

using namespace mpusb;

class InstantLink final : public UsbLink {
 public:
  explicit InstantLink(int replySize) : replySize_(replySize) {}
  int claimInterface(int) override { return 0; }
  void releaseInterface(int) override {}
  int clearHalt(uint8_t) override { return 0; }
  int transfer(uint8_t endpoint, uint8_t, unsigned char* data, int length, int* transferred,
               unsigned int) override {
    if ((endpoint & 0x80) == 0) {
      *transferred = length;
      return 0;
    }
    *transferred = std::min(length, replySize_);
    std::fill_n(data, *transferred, 0x38);
    return replySize_ > length ? LIBUSB_ERROR_OVERFLOW : 0;
  }

 private:
  int replySize_;
};

class InstantBus final : public UsbBus {
 public:
  explicit InstantBus(int replySize) : replySize_(replySize) {}
  std::vector<AttachedDevice> attached() override { return {{1, {0x04D8, 0xFFE9}, {1, {2}}}}; }
  std::optional<EndpointInfo> findEndpoint(DeviceId, uint8_t) override {
    return EndpointInfo{0, LIBUSB_TRANSFER_TYPE_BULK, 64};
  }
  std::unique_ptr<UsbLink> open(DeviceId, int*) override {
    return std::make_unique<InstantLink>(replySize_);
  }

 private:
  int replySize_;
};

void ModuleTick(benchmark::State& state) {
  UsbPipes pipes(std::make_unique<InstantBus>(static_cast<int>(state.range(0))));
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
