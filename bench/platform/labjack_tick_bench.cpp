// The LabJack layer's own cost of one monitor tick of model 23: four eGet calls, served by one
// Feedback transaction. The U3 answers at once from replies made before timing, so that the
// figure is the library's (command, checksums, reply checks, conversion, the round's cache) and
// not the USB round trip's.

#include <benchmark/benchmark.h>

#include <array>
#include <memory>
#include <vector>

#include "platform/labjackud/bus_control.h"
#include "platform/labjackud/labjackud.h"
#include "platform/labjackud/sim/simulated_u3.h"
#include "platform/labjackud/usb/u3_protocol.h"

namespace {

using namespace labjack;

// Answers a Feedback of one to four inputs from replies made beforehand, the configuration
// commands as a U3 would.
class InstantTransport final : public Transport {
 public:
  InstantTransport() {
    for (size_t n = 1; n <= 4; ++n) {
      for (size_t echo = 0; echo < 256; ++echo) {
        u3::Packet& p = feedback_[n - 1][echo];
        p.bytes[8] = static_cast<uint8_t>(echo);
        for (size_t i = 0; i < n; ++i) p.bytes[10 + 2 * i] = static_cast<uint8_t>(0x30 + 0x10 * i);
        p.size = 9 + 2 * n;
        u3::SealExtended(p, u3::kFeedback);
      }
    }
  }
  TransferStatus send(std::span<const uint8_t> packet, int) override {
    const size_t inputs = packet.size() >= 10 ? (packet.size() - 7) / 3 : 0;
    if (packet[3] == u3::kFeedback && inputs >= 1 && inputs <= 4) {
      next_ = &feedback_[inputs - 1][packet[6]];
      return TransferStatus::Ok;
    }
    // Opening: hand the command to a simulated U3 for a sound answer.
    replies_ = sim_.handle(packet);
    next_ = nullptr;
    return TransferStatus::Ok;
  }
  TransferStatus receive(std::span<uint8_t> buffer, size_t& received, int) override {
    if (next_) {
      std::copy_n(next_->bytes.begin(), next_->size, buffer.begin());
      received = next_->size;
      return TransferStatus::Ok;
    }
    const std::vector<uint8_t>& r = replies_.front();
    std::copy(r.begin(), r.end(), buffer.begin());
    received = r.size();
    return TransferStatus::Ok;
  }

 private:
  std::array<std::array<u3::Packet, 256>, 4> feedback_;
  const u3::Packet* next_ = nullptr;
  sim::SimulatedU3 sim_;
  std::vector<std::vector<uint8_t>> replies_;
};

class InstantBus final : public Bus {
 public:
  std::unique_ptr<Transport> openFirstU3(OpenStatus& status) override {
    status = OpenStatus::Opened;
    return std::make_unique<InstantTransport>();
  }
};

void tick(benchmark::State& state, Bus& bus) {
  UseBus(&bus);
  LJ_HANDLE h = 0;
  double lines = 15.0;
  if (OpenLabJack(LJ_dtU3, LJ_ctUSB, "1", 1, &h) != LJE_NOERROR ||
      ePut(h, LJ_ioPIN_CONFIGURATION_RESET, 0, 0, 0) != LJE_NOERROR ||
      eGet(h, LJ_ioPUT_ANALOG_ENABLE_PORT, 0, &lines, 16) != LJE_NOERROR) {
    state.SkipWithError("the U3 did not open");
    return;
  }
  std::array<double, 4> v{};
  for (auto _ : state) {
    LJ_ERROR e = eGet(h, LJ_ioGET_AIN, 0, &v[0], 0);
    e |= eGet(h, LJ_ioGET_AIN, 1, &v[1], 0);
    e |= eGet(h, LJ_ioGET_AIN_DIFF, 2, &v[2], 32);
    e |= eGet(h, LJ_ioGET_AIN_DIFF, 3, &v[3], 32);
    if (e != LJE_NOERROR) state.SkipWithError("a read failed");
    benchmark::DoNotOptimize(v);
  }
  UseBus(nullptr);
}

// The library alone: what one tick costs the acquisition thread besides the USB round trip.
void BM_LabJackTick4Channels(benchmark::State& state) {
  InstantBus bus;
  tick(state, bus);
}
BENCHMARK(BM_LabJackTick4Channels);

// For comparison: the same tick against the packet-level simulated U3, whose own work (parsing
// the command, making readings from volts, sealing the reply) is included.
void BM_LabJackTick4ChannelsSimulatedU3(benchmark::State& state) {
  sim::SimulatedBus bus;
  bus.attach();
  tick(state, bus);
}
BENCHMARK(BM_LabJackTick4ChannelsSimulatedU3);

}  // namespace
