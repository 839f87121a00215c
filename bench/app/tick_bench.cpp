// One 10 ms tick for 8 channels with a fake source and a graph sink that draws nothing: what the
// core itself costs per reading set, and that it allocates nothing.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>

#include "app/acquisition/sampling_loop.h"

namespace {

std::atomic<long> allocations{0};

class EightChannelSource : public tidemet::Source {
 public:
  void takeReadings(tidemet::ReadingSet& out) override {
    out.present = 0;
    for (int r = 0; r < 8; ++r) out.set(r, 0.25 + 0.01 * r + 0.0001 * (n_ & 63));
    ++n_;
  }

 private:
  long n_ = 0;
};

class FixedStopwatch : public tidemet::Stopwatch {
 public:
  void start() override {}
  int64_t elapsedMilliseconds() const override { return 0; }
};

void BM_TickEightChannels(benchmark::State& state) {
  auto session = std::make_unique<tidemet::Session>();
  session->ModelCode = 20;  // the module unit that fills all eight columns
  session->ChannelCount = 8;
  tidemet::RecordingAlerts alerts;
  tidemet::NullGraphSink sink;
  FixedStopwatch stopwatch;
  EightChannelSource source;
  tidemet::SamplingLoop loop(*session, alerts, sink, stopwatch);
  loop.StartMonitor();
  session->ChannelCount = 8;

  const long before = allocations.load();
  for (auto _ : state) {
    loop.Timer2_Timer(source);
    benchmark::DoNotOptimize(session->TrialData.data());
  }
  state.counters["allocations"] = static_cast<double>(allocations.load() - before);
}
BENCHMARK(BM_TickEightChannels);

}  // namespace

// The counting replacement pairs malloc with free; GCC cannot see that the pair is ours.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
