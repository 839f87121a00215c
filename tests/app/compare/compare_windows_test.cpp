#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QProcess>
#include <QTableView>
#include <filesystem>

#include "app/compare/chart_view_widget.h"
#include "app/compare/chart_window.h"
#include "app/compare/comparison_window.h"
#include "summary_text.h"
#include "tests/app/session/list_folder.h"

namespace tidemet {
namespace {

using testing::SummaryShape;
using testing::SummaryText;

// Eight-channel visits: the pair 3-4 block holds forces 100 higher than the pair 1-2 block.
std::string Visit(double shift) {
  SummaryShape shape;
  shape.channelCount = 8;
  shape.blocks = {testing::RisingBlock(0, shift), testing::RisingBlock(2, shift + 100)};
  return SummaryText(shape);
}

struct Windows {
  Windows() {
    s->ClientName = "Ann Lee";
    chart = std::make_unique<ChartWindow>(*s, alerts, analyzer, comparison, ChartWindowLinks{});
    compare = std::make_unique<ComparisonWindow>(
        *s, alerts, comparison, [this] { chart->showChart(ChartWindow::Source::Comparison); },
        [] {});
  }
  std::vector<std::string> column(int c) {
    std::vector<std::string> out;
    QAbstractItemModel* m = compare->gridView().model();
    for (int r = 0; r < m->rowCount(); ++r)
      out.push_back(m->index(r, c).data().toString().toStdString());
    return out;
  }
  std::vector<double> values(int series) {
    std::vector<double> out;
    for (const QPointF& p : chart->chartView().seriesPoints(series)) out.push_back(p.y());
    return out;
  }

  testing::ListFolder folder;
  std::unique_ptr<Session> s = std::make_unique<Session>();
  RecordingAlerts alerts;
  RepetitionAnalyzer analyzer;
  Comparison comparison;
  std::unique_ptr<ChartWindow> chart;
  std::unique_ptr<ComparisonWindow> compare;
};

TEST(ComparisonWindow, SettingChangesRebuildEveryRow) {
  Windows w;
  w.compare->showComparison();
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(
        w.compare->addFile(w.folder.write("v" + std::to_string(i + 1) + ".sum", Visit(i * 10))));
  EXPECT_EQ(w.column(1), (std::vector<std::string>{"V1.SUM", "V2.SUM", "V3.SUM"}));
  struct Step {
    const char* item;
    int column;
    std::vector<std::string> expected;
  };
  const Step steps[] = {
      {"CompPctChangeMenu", 4, {"+133  ", "+80  ", "+57  "}},
      {"CompImpulseMenu", 4, {"+80  ", "+80  ", "+80  "}},
      {"CompOverallMeanMenu", 4, {"3.5", "3.5", "3.5"}},
      {"CompForceMenu", 8, {"27.0", "37.0", "47.0"}},
      {"CompUSMenu", 8, {"6.0", "8.3", "10.6"}},
      // Pair 3-4 in pounds: 110 120 130 140 N are 24.7 27.0 29.2 31.5 lbs, 28.1 on average.
      {"Comp34Menu", 4, {"28.1", "30.4", "32.6"}},
  };
  for (const Step& step : steps) {
    w.compare->action(step.item)->trigger();
    EXPECT_EQ(w.column(step.column), step.expected) << step.item;
    EXPECT_TRUE(w.compare->action(step.item)->isChecked()) << step.item;
  }
  // Closed and shown again, the comparison keeps its files.
  w.compare->close();
  w.compare->showComparison();
  EXPECT_EQ(w.column(1).size(), 3u);
  w.compare->action("CompDeleteAllMenu")->trigger();
  EXPECT_TRUE(w.column(1).empty());
  EXPECT_TRUE(w.alerts.shown.empty());
}

std::string PdfInfo(const std::string& path) {
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {QString::fromStdString(path)});
  info.waitForFinished(60000);
  return QString::fromUtf8(info.readAllStandardOutput()).simplified().toStdString();
}

// The chart follows its own menus and the comparison's, and exports what it shows.
TEST(ChartWindow, ComparisonChartDrawsOnePointPerFile) {
  Windows w;
  ASSERT_TRUE(w.compare->addFile(w.folder.write("v1.sum", Visit(0))));
  w.compare->action("CompChartMenu")->trigger();
  ChartViewWidget& view = w.chart->chartView();
  EXPECT_FALSE(view.hasChart());  // one file draws no chart, and there is nothing to export
  const std::string png = (w.folder.path() / "chart.png").string();
  EXPECT_NE(w.chart->exportPng(png), std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(png));
  ASSERT_TRUE(w.compare->addFile(w.folder.write("v2.sum", Visit(10))));
  ASSERT_TRUE(w.compare->addFile(w.folder.write("v3.sum", Visit(20))));
  w.compare->action("CompChartMenu")->trigger();
  ASSERT_TRUE(view.hasChart());
  EXPECT_EQ(view.title(), "Client Name: Ann Lee");
  EXPECT_EQ(view.yTitle(), "Peak Force   (N)");
  EXPECT_EQ(w.values(0), (std::vector<double>{25, 35, 45}));
  EXPECT_EQ(w.values(1), (std::vector<double>{27, 37, 47}));

  struct Step {
    const char* item;
    std::vector<double> first;
    std::string yTitle;
  };
  const Step steps[] = {
      {"NegMenu", {15, 25, 35}, "Peak Force   (N)"},
      {"TimeMenu", {0.4, 0.4, 0.4}, "Time (sec)"},
      {"PosMenu", {0.75, 0.75, 0.75}, "Time (sec)"},
      {"ImpulseMenu", {3.5, 3.5, 3.5}, "  Impulse (N*sec)"},
      {"Channel34Menu", {3.5, 3.5, 3.5}, "  Impulse (N*sec)"},
      {"PeakForceMenu", {125, 135, 145}, "Peak Force   (N)"},
  };
  for (const Step& step : steps) {
    w.chart->action(step.item)->trigger();
    EXPECT_EQ(w.values(0), step.first) << step.item;
    EXPECT_EQ(view.yTitle().toStdString(), step.yTitle) << step.item;
  }
  w.compare->action("CompPctChangeMenu")->trigger();
  w.compare->action("CompChartMenu")->trigger();
  EXPECT_EQ(view.yTitle(), "Peak Force   % Change");
  EXPECT_EQ(w.values(0), (std::vector<double>{17, 16, 15}));

  w.chart->resize(640, 420);
  QCoreApplication::processEvents();
  ASSERT_EQ(w.chart->exportPng(png), std::nullopt);
  const QImage image(QString::fromStdString(png));
  EXPECT_EQ(image.size(), view.size());
  int dark = 0;  // titles, axes and series on the white background
  for (int y = 0; y < image.height(); y += 4)
    for (int x = 0; x < image.width(); x += 4) dark += qGray(image.pixel(x, y)) < 128;
  EXPECT_GT(dark, 40);
  const std::string pdf = (w.folder.path() / "chart.pdf").string();
  ASSERT_EQ(w.chart->exportPdf(pdf), std::nullopt);
  const std::string info = PdfInfo(pdf);
  EXPECT_NE(info.find("Pages: 1 "), std::string::npos) << info;
  EXPECT_NE(info.find("Page size: 792 x 612 pts"), std::string::npos) << info;
}

}  // namespace
}  // namespace tidemet
