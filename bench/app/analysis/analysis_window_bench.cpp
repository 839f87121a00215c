// The analysis window on a full two-channel trial (15000 samples, 100 strokes a hand): opening it
// to painted grids, switching mode, pair and units, and the PDF of a 200-repetition report.
// Runs offscreen unless a platform is chosen; `--screenshots=DIR` saves the window's states as
// PNG files instead of timing.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTableView>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/analysis/analysis_window.h"
#include "app/analysis/performance_report.h"
#include "app/analysis/recompute_analysis.h"
#include "app/ui/report_renderer.h"
#include "bench/app/analysis/stroke_trial.h"

namespace tidemet {
namespace {

// The benchmark trial with the file, client and institution a report prints.
std::unique_ptr<Session> ReportTrial() {
  auto s = StrokeTrial();
  s->CurrentFileName = "/trials/ab0101.dat";
  s->ClientName = "Lee, Ann";
  s->PairLabel = "Hands";
  s->Comments =
      "Steady stroke over the whole set; the right hand fades a little after the first minute.";
  s->InstitutionLines = {"Harbour Clinic", "1 Quay St", "Leeds", "WY", "LS1 4AB", "0113 555 0101"};
  return s;
}

AnalysisWindow::TrialFiles NoFiles() { return {}; }

// Shows the window and waits until its grids have been painted.
void paint(AnalysisWindow& w) {
  w.repetitionView().viewport()->repaint();
  w.meansView().viewport()->repaint();
  QCoreApplication::processEvents();
}

void BM_OpenWindowToPaintedGrids(benchmark::State& state) {
  auto s = ReportTrial();
  RecordingAlerts alerts;
  RepetitionAnalyzer analyzer;
  for (auto _ : state) {
    AnalysisWindow w(*s, alerts, analyzer, NoFiles());
    w.showAnalysis();
    paint(w);
    state.PauseTiming();
    w.close();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  if (s->analysis.FirstPairReps != 99) state.SkipWithError("trial did not give 100 strokes");
}
BENCHMARK(BM_OpenWindowToPaintedGrids)->Unit(benchmark::kMillisecond);

// Argument: 0 mode, 1 pair, 2 units.
void BM_Switch(benchmark::State& state) {
  auto s = ReportTrial();
  s->ChannelCount = 2;
  RecordingAlerts alerts;
  RepetitionAnalyzer analyzer;
  AnalysisWindow w(*s, alerts, analyzer, NoFiles());
  w.showAnalysis();
  paint(w);
  int i = 0;
  for (auto _ : state) {
    ++i;
    switch (state.range(0)) {
      case 0:
        w.selectMode(i % 3);
        break;
      case 1:
        w.selectPair(i % 2);
        break;
      default:
        w.selectUnits(i % 2 == 0);
        break;
    }
    paint(w);
  }
}
BENCHMARK(BM_Switch)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A summary holding 200 repetitions a column (rows 0..199): six pages.
void BM_Pdf200Repetitions(benchmark::State& state) {
  auto s = ReportTrial();
  s->CurrentFileName = "/trials/ab0101.sum";
  AnalysisResults& r = s->analysis;
  r.SummaryHasResults = true;
  r.FirstPairReps = r.SecondPairReps = r.MostReps = 199;
  for (int j = 0; j < 200; ++j)
    for (int c = 1; c <= 16; ++c) r.SummaryTable[j][c] = c % 4 == 1 ? 0.61f : 123.4f + j % 7;
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  RecomputeAnalysis(*s, analyzer, alerts);
  size_t bytes = 0;
  size_t pages = 0;
  for (auto _ : state) {
    const ReportDocument doc = PerformanceReport(*s, "12-07-2026");
    pages = doc.pages.size();
    bytes = ReportPdfBytes(doc).size();
  }
  state.counters["pages"] = static_cast<double>(pages);
  state.counters["bytes"] = static_cast<double>(bytes);
  if (pages != 6 || bytes == 0) state.SkipWithError("report did not come out as six pages");
}
BENCHMARK(BM_Pdf200Repetitions)->Unit(benchmark::kMillisecond);

int Screenshots(const QString& folder) {
  QDir().mkpath(folder);
  auto s = ReportTrial();
  RecordingAlerts alerts;
  RepetitionAnalyzer analyzer;
  AnalysisWindow w(*s, alerts, analyzer, NoFiles());
  w.showAnalysis();
  paint(w);
  w.grab().save(folder + "/analysis-peak.png");
  w.selectMode(1);
  w.resize(640, 420);
  paint(w);
  w.grab().save(folder + "/analysis-impulse-small.png");
  s->ExerciseMode = 3;
  s->SwimDistance = 25;
  s->Stroke = "Free";
  s->ClientHeight = "180";
  s->ClientWeight = "75 ";
  w.resize(1000, 700);
  w.selectUnits(false);
  paint(w);
  w.grab().save(folder + "/analysis-swim-us.png");
  return 0;
}

}  // namespace
}  // namespace tidemet

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--screenshots=", 14) == 0)
      return tidemet::Screenshots(QString::fromLocal8Bit(argv[i] + 14));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
