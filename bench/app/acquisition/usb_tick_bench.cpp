// One 10 ms tick with the USB device and with the USB module, each on its simulator through the
// real library: the device's reads plus the tick's storing and drawing. Run with the simulated
// pipe library on the search path (LD_LIBRARY_PATH=<build>/lib/mpusbapi-sim).
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <memory>

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

}  // namespace
