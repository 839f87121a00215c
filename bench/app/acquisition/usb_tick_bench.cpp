// One 10 ms tick with the USB device and with the USB module, each on its simulator through the
// real library: the device's reads plus the tick's storing and drawing. Run with the simulated
// pipe library on the search path (LD_LIBRARY_PATH=<build>/lib/mpusbapi-sim).
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/acquisition/acquisition_worker.h"
#include "app/acquisition/sampling_loop.h"
#include "app/acquisition/sources/usb_device_source.h"
#include "app/acquisition/sources/usb_module_source.h"
#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/sim/sim_control.h"
#include "zdaq/simulated.h"

namespace {

class FixedStopwatch : public tidemet::Stopwatch {
 public:
  void start() override {}
  int64_t elapsedMilliseconds() const override { return 0; }
};

void RunTicks(benchmark::State& state, tidemet::Session& session, tidemet::Source& source) {
  tidemet::RecordingAlerts alerts;
  tidemet::NullGraphSink sink;
  FixedStopwatch stopwatch;
  const int16_t channels = session.ChannelCount;
  tidemet::SamplingLoop loop(session, alerts, sink, stopwatch);
  loop.StartMonitor();
  session.ChannelCount = channels;
  for (auto _ : state) {
    loop.Timer2_Timer(source);
    benchmark::DoNotOptimize(session.TrialData.data());
  }
}

// Argument: 0 device present, 1 device pulled out after opening.
void BM_TickUsbDevice(benchmark::State& state) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/true);
  system->addDevice("/dev/zdaq0", "ZDaq DAQ-20 (simulated)");
  auto session = std::make_unique<tidemet::Session>();
  session->ModelCode = 7;
  session->ChannelCount = 2;
  tidemet::DeviceMessages messages;
  tidemet::UsbDeviceSource source(7, 2, messages, system->makeBackend());
  if (state.range(0) == 1) system->removeDevice("/dev/zdaq0");
  RunTicks(state, *session, source);
}
BENCHMARK(BM_TickUsbDevice)->Arg(0)->Arg(1);

mpusbsim::Control* Simulation() {
  void* pipes = dlopen(MPUSBAPI_LIBRARY_NAME, RTLD_NOW | RTLD_NOLOAD);
  if (pipes == nullptr) return nullptr;
  auto control = reinterpret_cast<mpusbsim::Control* (*)()>(dlsym(pipes, "MPUSBSimControl"));
  dlclose(pipes);
  return control != nullptr ? control() : nullptr;
}

// Argument: 0 module present, 1 module pulled out after opening.
void BM_TickUsbModule(benchmark::State& state) {
  std::string why;
  auto library = tidemet::VonmodLibrary::Load(why);
  mpusbsim::Control* sim = library ? Simulation() : nullptr;
  if (sim == nullptr) {
    state.SkipWithError("the simulated pipe library is not on LD_LIBRARY_PATH");
    return;
  }
  int32_t count = 0;
  library->EnumerateDev(0, &count);
  sim->reset(1);
  sim->setRecording(false);
  for (size_t c = 0; c < mpusbsim::kChannels; ++c)
    sim->module(0).analog[c] = {mpusbsim::Wave::Ramp, 0, 4095, 100};
  auto session = std::make_unique<tidemet::Session>();
  session->ModelCode = 20;
  session->ChannelCount = 8;
  tidemet::DeviceMessages messages;
  tidemet::UsbModuleSource source(messages);
  if (state.range(0) == 1) sim->pull(0);
  RunTicks(state, *session, source);
}
BENCHMARK(BM_TickUsbModule)->Arg(0)->Arg(1);

// The acquisition thread's 10 ms beat for three seconds with each source (argument 0 the
// device, 1 the module): the mean period, the deviation 99 % of the periods stay within, and
// the deadlines skipped.
void BM_BeatWithUsbSource(benchmark::State& state) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/true);
  system->addDevice("/dev/zdaq0", "ZDaq DAQ-20 (simulated)");
  std::string why;
  auto library = tidemet::VonmodLibrary::Load(why);
  mpusbsim::Control* sim = library ? Simulation() : nullptr;
  if (state.range(0) == 1 && sim == nullptr) {
    state.SkipWithError("the simulated pipe library is not on LD_LIBRARY_PATH");
    return;
  }
  if (sim != nullptr) {
    int32_t count = 0;
    library->EnumerateDev(0, &count);
    sim->reset(1);
    sim->setRecording(false);
  }
  tidemet::DeviceMessages messages;
  tidemet::MonotonicClock clock;
  const bool module = state.range(0) == 1;
  for (auto _ : state) {
    tidemet::AcquisitionWorker worker(clock, [&]() -> std::unique_ptr<tidemet::Source> {
      if (module) return std::make_unique<tidemet::UsbModuleSource>(messages);
      return std::make_unique<tidemet::UsbDeviceSource>(7, 2, messages, system->makeBackend());
    });
    worker.start();
    for (int i = 0; i < 30; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      worker.discard();
    }
    worker.stop();
    const auto& p = worker.periods();
    state.counters["mean_period_ms"] = p.meanPeriodNs() / 1e6;
    state.counters["p99_deviation_us"] = static_cast<double>(p.deviationQuantileNs(0.99)) / 1e3;
    state.counters["skipped"] = static_cast<double>(worker.deadlinesSkipped());
  }
}
BENCHMARK(BM_BeatWithUsbSource)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
