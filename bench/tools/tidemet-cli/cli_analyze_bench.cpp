// `tidemet-cli analyze` over 1000 data files: two-hand trials of 60 s (6000 samples) with 40
// strokes per hand, read from disk, opened, analysed and printed as JSON.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "app/files/safe_file.h"
#include "app/files/trial_file_format.h"
#include "cli_commands.h"
#include "tests/app/analysis/trace_builder.h"

namespace tidemet {
namespace {

constexpr int kFiles = 1000;

class TrialFolder {
 public:
  TrialFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tidemet-bench-XXXXXX").string();
    folder_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    for (int i = 0; i < kFiles; ++i) {
      auto s = testing::MakeTrial(2, 6000);
      s->DataClientName = "Ann Lee";
      s->SurfaceArea = 40;
      // Trials differ a little in stroke length and force, as visits do; the second hand starts
      // at rest (its first sample must reach the connection threshold).
      const int push = 80 + i % 11;
      testing::WriteTrace(*s, 0, testing::Trace().strokes(40, push, 300 + i % 50, 150 - push, 200));
      testing::WriteTrace(*s, 1, testing::Trace().hold(20, 0).strokes(40, push - 5, 280, 155 - push, 180));
      const std::string path = (folder_ / ("trial" + std::to_string(i) + ".dat")).string();
      if (WriteFileAtomically(path, TrialFileBytes(*s))) std::abort();
      files_.push_back(path);
    }
  }
  ~TrialFolder() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  const std::vector<std::string>& files() const { return files_; }

 private:
  std::filesystem::path folder_;
  std::vector<std::string> files_;
};

void BM_AnalyzeThousandFiles(benchmark::State& state) {
  static TrialFolder folder;
  std::vector<std::string> args{"analyze"};
  args.insert(args.end(), folder.files().begin(), folder.files().end());
  const cli::ParsedArgs parsed = cli::ParseArgs(args);
  for (auto _ : state) {
    std::ostringstream out, err;
    if (cli::RunCli(parsed, out, err) != 0) state.SkipWithError("a file was refused");
    benchmark::DoNotOptimize(out.str().size());
  }
  state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_AnalyzeThousandFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace tidemet
