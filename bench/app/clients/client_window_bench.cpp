// The client window with 5000 clients, offscreen: each measured step ends with the list view
// painted, so the figures include what the user waits for.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <QScrollBar>
#include <cstdlib>

#include "app/clients/client_window.h"
#include "bench/app/clients/client_entries.h"

namespace tidemet {
namespace {

constexpr int kClients = 5000;

struct Fixture {
  Session s;
  ClientList list{MakeClientEntries(kClients)};
  RecordingAlerts alerts;
  NoComparison comparison;
  RepetitionAnalyzer analyzer;
};

void paint(ClientWindow& window) { benchmark::DoNotOptimize(window.listView().viewport()->grab()); }

void BM_WindowLoad(benchmark::State& state) {
  Fixture f;
  for (auto _ : state) {
    ClientWindow window(f.s, f.list, f.alerts, f.comparison, f.analyzer, ClientWindowLinks{});
    window.showClients();
    paint(window);
  }
}
BENCHMARK(BM_WindowLoad)->Unit(benchmark::kMillisecond);

void BM_WindowUnitSwitch(benchmark::State& state) {
  Fixture f;
  ClientWindow window(f.s, f.list, f.alerts, f.comparison, f.analyzer, ClientWindowLinks{});
  window.showClients();
  bool metric = true;
  for (auto _ : state) {
    metric = !metric;
    window.UnitsMenu(metric);
    paint(window);
  }
}
BENCHMARK(BM_WindowUnitSwitch)->Unit(benchmark::kMillisecond);

void BM_WindowScrollPage(benchmark::State& state) {
  Fixture f;
  ClientWindow window(f.s, f.list, f.alerts, f.comparison, f.analyzer, ClientWindowLinks{});
  window.showClients();
  QScrollBar* bar = window.listView().verticalScrollBar();
  int step = 0;
  for (auto _ : state) {
    bar->setValue((step++ * bar->pageStep()) % (bar->maximum() + 1));
    paint(window);
  }
}
BENCHMARK(BM_WindowScrollPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tidemet

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
