// The sampling thread against the simulated driver: 8 points at 10 000 samples per second, a
// client fetching every 10 ms. Reports throughput, losses and the CPU time of each thread.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "zdaq/enumerator.h"
#include "zdaq/identifiers.h"
#include "zdaq/simulated.h"
#include "zdaq/src/device_internals.h"

namespace {

using Clock = std::chrono::steady_clock;

// CPU seconds per thread name, from /proc (clock ticks).
std::map<std::string, double> ThreadCpu() {
  std::map<std::string, double> cpu;
  const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream in(task.path() / "stat");
    std::string line;
    std::getline(in, line);
    const auto open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    const std::string name = line.substr(open + 1, close - open - 1);
    std::istringstream rest(line.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i == 14) utime = std::stoull(field);
      if (i == 15) stime = std::stoull(field);
    }
    cpu[name] += static_cast<double>(utime + stime) / tick;
  }
  return cpu;
}

double ProcessCpu() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
         static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_Sampling8PointsAt10kHz(benchmark::State& state) {
  const auto seconds = std::chrono::seconds(state.range(0));
  for (auto _ : state) {
    auto system = zdaq::SimulatedSystem::create(/*automatic=*/true);
    auto sim = system->addDevice("/dev/zdaq0", "bench");
    zdaq::ZzDaqEnum e(system->makeBackend());
    auto device = e.Devices()->Item(int32_t{1});
    device->Open();
    for (int32_t id = 9; id <= 16; ++id) {
      device->IoPoints()->Item(id)->Configuration(zdaq::kSingleEndedAnalogInput);
      device->IoPoints()->Item(id)->SamplingEnabled(1);
    }
    device->SamplingInterval(0.0001);

    uint64_t samples = 0, markers = 0, gaps = 0, fetches = 0;
    int32_t largestFetch = 0;
    uint64_t expectedK = 0;
    const auto cpuBefore = ThreadCpu();
    const double processBefore = ProcessCpu();
    const auto start = Clock::now();
    device->StartSampling();
    for (auto deadline = start + std::chrono::milliseconds(10); deadline <= start + seconds;
         deadline += std::chrono::milliseconds(10)) {
      std::this_thread::sleep_until(deadline);
      device->ProcessEvents();
      const zdaq::SampleArray a = device->GetSamples(INT32_MAX);
      ++fetches;
      largestFetch = std::max(largestFetch, a.samples());
      for (int32_t s = 1; s <= a.samples(); ++s, ++expectedK) {
        const int32_t v = a.at(1, s);
        if (v == zdaq::kSamplesDroppedMarker || v == zdaq::kFailedReadMarker) ++markers;
        // Every sample in sequence: the waveform value of the next sample index.
        if (v != zdaq::SimulatedDevice::inputValue(9, expectedK)) ++gaps;
      }
      samples += static_cast<uint64_t>(a.samples());
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const double processCpu = ProcessCpu() - processBefore;
    const auto cpuAfter = ThreadCpu();
    device->StopSampling();

    const auto threadCpu = [&](const std::string& name) {
      const auto b = cpuBefore.find(name);
      const auto a = cpuAfter.find(name);
      return (a == cpuAfter.end() ? 0.0 : a->second) - (b == cpuBefore.end() ? 0.0 : b->second);
    };
    state.counters["samples_per_s"] = static_cast<double>(samples) / elapsed;
    state.counters["values_per_s"] = 8.0 * static_cast<double>(samples) / elapsed;
    state.counters["lost"] = static_cast<double>(markers + gaps + sim->driverOverruns());
    state.counters["reads_per_s"] = static_cast<double>(sim->readsIssued()) / elapsed;
    state.counters["largest_fetch"] = largestFetch;
    state.counters["fetches"] = static_cast<double>(fetches);
    state.counters["cpu_sampler_pct"] = 100.0 * threadCpu("zdaq-sampler") / elapsed;
    state.counters["cpu_sim_driver_pct"] = 100.0 * threadCpu("zdaq-sim-driver") / elapsed;
    state.counters["cpu_process_pct"] = 100.0 * processCpu / elapsed;
    if (markers + gaps + sim->driverOverruns() != 0) state.SkipWithError("samples were lost");
  }
}
BENCHMARK(BM_Sampling8PointsAt10kHz)
    ->Arg(5)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The client's side of one 10 ms fetch: 100 samples of 8 points out of the ring.
void BM_GetSamples100x8(benchmark::State& state) {
  auto system = zdaq::SimulatedSystem::create(/*automatic=*/false);
  auto sim = system->addDevice("/dev/zdaq0", "bench");
  zdaq::ZzDaqEnum e(system->makeBackend());
  auto device = e.Devices()->Item(int32_t{1});
  device->Open();
  for (int32_t id = 9; id <= 16; ++id) device->IoPoints()->Item(id)->SamplingEnabled(1);
  device->StartSampling();
  uint64_t produced = 0;
  for (auto _ : state) {
    state.PauseTiming();
    sim->produce(100);
    produced += 100;
    zdaq::DeviceInternals::waitSamplesAccepted(*device, produced, std::chrono::milliseconds(5000));
    state.ResumeTiming();
    benchmark::DoNotOptimize(device->GetSamples(100));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 100);
}
BENCHMARK(BM_GetSamples100x8);

}  // namespace
