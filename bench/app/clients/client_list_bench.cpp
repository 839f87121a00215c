#include <benchmark/benchmark.h>

#include "app/clients/client_commands.h"
#include "app/files/list_files.h"
#include "bench/app/clients/client_entries.h"

namespace tidemet {
namespace {

constexpr int kClients = 5000;

void BM_ReadClientList(benchmark::State& state) {
  const std::string bytes = ClientListBytes(ClientList(MakeClientEntries(kClients)));
  for (auto _ : state) {
    std::vector<std::string> entries;
    ReadClientList(bytes, entries);
    ClientList list(std::move(entries));
    benchmark::DoNotOptimize(list.count());
  }
}
BENCHMARK(BM_ReadClientList)->Unit(benchmark::kMillisecond);

void BM_SwitchListUnits(benchmark::State& state) {
  Session s;
  ClientList list(MakeClientEntries(kClients));
  bool metric = true;
  for (auto _ : state) {
    metric = !metric;
    SwitchClientUnits(s, list, metric);
    benchmark::DoNotOptimize(list.entry(0));
  }
}
BENCHMARK(BM_SwitchListUnits)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tidemet
