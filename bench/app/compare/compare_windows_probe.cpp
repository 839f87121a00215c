// Shows the comparison and chart windows on a real display (run under xvfb-run) with four
// visits of one client, and saves a picture of each step into the folder given as the first
// argument: the grid, the comparison chart, a repetition chart, too few files, a small window.
// Not a test: the pictures are for a person to look at.
#include <QApplication>
#include <QDir>
#include <fstream>

#include "app/compare/chart_view_widget.h"
#include "app/compare/chart_window.h"
#include "app/compare/comparison_window.h"
#include "app/files/summary_file.h"
#include "app/files/trial_file.h"
#include "tests/app/compare/summary_text.h"

using namespace tidemet;

namespace {

// Visit v of a client who grows stronger and tires less from visit to visit.
std::string Visit(int v) {
  testing::SummaryShape shape;
  shape.client = "Ann Lee";
  for (int c = 0; c < 1; ++c) {
    testing::SummaryPairBlock b;
    b.firstReps = 12 + v;
    b.secondReps = 11 + v;
    const testing::SummaryColumn side[8] = {{0.62 - 0.01 * v, 0.004},
                                            {48.0 + 4 * v, -0.6 + 0.1 * v},
                                            {21.0 + 2 * v, -0.3},
                                            {30.5 + 3 * v, -0.4},
                                            {0.55, 0.002},
                                            {12.0 + v, 0.2},
                                            {4.0, 0.05},
                                            {7.5, 0.1}};
    for (int k = 0; k < 8; ++k) {
      b.columns[k] = side[k];
      b.columns[8 + k] = {side[k].base * 0.92, side[k].step};
    }
    shape.blocks.push_back(b);
  }
  return testing::SummaryText(shape);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  const std::string data = (folder + "/visits").toStdString();
  QDir().mkpath(QString::fromStdString(data));
  Session s;
  s.ClientName = "Ann Lee";
  RecordingAlerts alerts;
  RepetitionAnalyzer analyzer;
  Comparison comparison;
  ClientList clients{{"Ann Lee                               170    70     "}};
  SummaryFile summary{analyzer, alerts};
  TrialFileContext ctx{alerts, clients, comparison, summary};
  ChartWindowLinks links;
  links.openFile = [&](const std::string& path) { return OpenTrialFile(s, ctx, path); };
  ChartWindow chart(s, alerts, analyzer, comparison, links);
  ComparisonWindow compare(
      s, alerts, comparison, [&] { chart.showChart(ChartWindow::Source::Comparison); }, [] {});
  auto snap = [&](QWidget& w, const QString& name) {
    app.processEvents();
    w.grab().save(folder + "/" + name + ".png");
  };
  std::vector<std::string> paths;
  for (int v = 0; v < 4; ++v) {
    paths.push_back(data + "/VISIT" + std::to_string(v + 1) + ".SUM");
    std::ofstream(paths.back(), std::ios::binary) << Visit(v);
  }
  compare.showComparison();
  compare.addFile(paths[0]);
  chart.showChart(ChartWindow::Source::Comparison);
  snap(chart, "chart-one-file");
  for (int v = 1; v < 4; ++v) compare.addFile(paths[v]);
  snap(compare, "comparison");
  compare.selectMeanKind(kPercentChange);
  snap(compare, "comparison-change");
  compare.selectMeanKind(kOverallMeans);
  compare.CompChartMenu();
  snap(chart, "chart-comparison");
  chart.resize(520, 380);
  snap(chart, "chart-small");
  chart.resize(860, 600);
  chart.openFile(paths[3]);
  snap(chart, "chart-repetitions");
  chart.selectQuantity(3);
  chart.selectPhase(true);
  snap(chart, "chart-repetitions-time");
  chart.exportPdf((folder + "/chart.pdf").toStdString());
  for (const Alert& a : alerts.shown) qWarning("alert: %s", a.text.c_str());
  return 0;
}
