// Costs of libvonmodvb against the simulated module. Run with the simulated pipe library on the
// search path: LD_LIBRARY_PATH=<build>/lib/mpusbapi-sim <build>/bin/vonmod_bench
//  - ReadMultiAnalogIn8: one 8-channel read, library plus simulation;
//  - SimulatedRoundTrip: the same request and reply straight through the pipe library, so the
//    difference between the two is the library's own cost;
//  - StreamRetrieval: a stream at the module's limits on the wall clock; cpu_percent is the host
//    CPU (library and simulation together) per second of streaming.

#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/sim/sim_control.h"
#include "vonmod/include/vonmod.h"

namespace {

void* pipeLibrary() {
  void* library = dlopen(MPUSBAPI_LIBRARY_NAME, RTLD_NOW | RTLD_NOLOAD);
  if (library == nullptr || dlsym(library, "MPUSBSimControl") == nullptr) {
    std::fprintf(stderr, "the simulated %s is not on the library search path\n",
                 MPUSBAPI_LIBRARY_NAME);
    std::exit(2);
  }
  return library;
}

mpusbsim::Control& sim() {
  static mpusbsim::Control* control =
      reinterpret_cast<mpusbsim::Control* (*)()>(dlsym(pipeLibrary(), "MPUSBSimControl"))();
  return *control;
}

VonmodSession openModule(bool realTime) {
  int32_t count = 0;
  Vonmod_EnumerateDev(0, &count);
  sim().reset(1);
  sim().setRecording(false);
  sim().setRealTime(realTime);
  for (int c = 0; c < mpusbsim::kChannels; ++c)
    sim().module(0).analog[static_cast<size_t>(c)] = {mpusbsim::Wave::Sine, 500, 3500,
                                                      200 + 10 * c};
  VonmodSession session{};
  Vonmod_EnumerateDev(0, &count);
  if (count != 1 || Vonmod_OpenDevice(0, 0, &session) != 0) std::abort();
  return session;
}

void ReadMultiAnalogIn8(benchmark::State& state) {
  VonmodSession session = openModule(false);
  float volts[8];
  for (auto _ : state) {
    if (Vonmod_ReadMultiAnalogIn(&session, 0, 8, 0, volts, 0) != 0)
      state.SkipWithError("read failed");
    benchmark::DoNotOptimize(volts);
  }
  Vonmod_ReleaseDevice(&session);
}
BENCHMARK(ReadMultiAnalogIn8);

void SimulatedRoundTrip(benchmark::State& state) {
  VonmodSession session = openModule(false);
  auto write = reinterpret_cast<MPUSBWriteFn>(dlsym(pipeLibrary(), "MPUSBWrite"));
  auto read = reinterpret_cast<MPUSBReadFn>(dlsym(pipeLibrary(), "MPUSBRead"));
  const uint8_t request[3] = {0x38, 0, 7};
  uint8_t reply[64];
  for (auto _ : state) {
    int32_t sent = 0, received = 0;
    write(session.writePipe, request, 3, &sent, 1000);
    read(session.readPipe, reply, 18, &received, 1000);
    benchmark::DoNotOptimize(reply);
  }
  Vonmod_ReleaseDevice(&session);
}
BENCHMARK(SimulatedRoundTrip);

double processCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// args: channels, scans per second. Each iteration retrieves a tenth of a second of scans.
void StreamRetrieval(benchmark::State& state) {
  const auto channels = static_cast<int32_t>(state.range(0));
  const auto rate = static_cast<int32_t>(state.range(1));
  VonmodSession session = openModule(true);
  int32_t actual = 0;
  if (Vonmod_AIStartStream(&session, 0, channels, 0, rate, &actual, 0) != 0) std::abort();
  const int32_t scans = rate / 10;
  std::vector<float> volts(static_cast<size_t>(scans * channels));
  int64_t total = 0;
  const double cpuStart = processCpuSeconds();
  const auto wallStart = std::chrono::steady_clock::now();
  for (auto _ : state) {
    int32_t got = 0;
    if (Vonmod_AIGetScans(&session, scans, 1000, volts.data(), &got) != 0)
      state.SkipWithError("stream stalled");
    total += got;
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  const double cpu = processCpuSeconds() - cpuStart;
  state.counters["cpu_percent"] = 100.0 * cpu / wall;
  state.counters["scans_per_s"] = static_cast<double>(total) / wall;
  state.counters["actual_rate"] = actual;
  Vonmod_AIStopStream(&session);
  Vonmod_ReleaseDevice(&session);
}
BENCHMARK(StreamRetrieval)
    ->Args({1, 15000})
    ->Args({8, 4500})
    ->UseRealTime()
    ->Iterations(30)
    ->Unit(benchmark::kMillisecond);

}  // namespace
