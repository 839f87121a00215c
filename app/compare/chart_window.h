#pragma once
// The chart window `Plot`: two series, one per column of the selected pair, of the open trial's
// repetitions or of the comparison's files. It turns menu choices into settings and draws what
// the core's chart series return.

#include <QMainWindow>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/analysis/repetition_analyzer.h"
#include "app/compare/chart_series.h"
#include "app/compare/comparison.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

class QAction;
class QPagedPaintDevice;

namespace tidemet {

class ChartViewWidget;

// What the chart window reaches outside itself: the trial files and the other windows.
struct ChartWindowLinks {
  std::function<bool(const std::string& path)> openFile;
  std::function<bool(const std::string& path)> saveFile;
  std::function<void()> showComparison;
  std::function<void()> showAnalysis;
  std::function<void()> showGraph;
  std::function<void()> showMonitor;
  std::function<void()> showClients;
};

class ChartWindow : public QMainWindow {
  Q_OBJECT

 public:
  enum class Source { Repetitions, Comparison };  // ChartSource

  ChartWindow(Session& session, Alerts& alerts, RepetitionAnalyzer& analyzer,
              Comparison& comparison, ChartWindowLinks links, QWidget* parent = nullptr);
  ~ChartWindow() override;

  // Shows the chart of `source`, analysing the trial again for the repetition chart.
  void showChart(Source source);
  Source source() const { return source_; }
  ChartChoice choice() const { return choice_; }
  ChartViewWidget& chartView() const { return *view_; }
  QAction* action(const char* name) const;

  // Menu commands (also reached by tests).
  void selectQuantity(int item);  // 0 peak force, 1 avg force, 2 impulse, 3 time
  void selectPhase(bool negative);
  void selectPair(int item);
  void selectUnits(bool metric);
  void OpenMenu();
  void SaveMenu();
  void CopyMenu();
  void PrintMenu();
  void ExportPdfMenu();
  void ExportPngMenu();

  bool openFile(const std::string& path);
  // The chart on one page of `device`; false when it could not be drawn.
  bool printChart(QPagedPaintDevice& device);
  // Nothing on success, else why not.
  std::optional<std::string> exportPng(const std::string& path);
  std::optional<std::string> exportPdf(const std::string& path);

 private:
  void buildMenus();
  void recompute();
  void redraw();
  void syncChecks();
  void fail(const std::string& what, const std::string& why);

  Session& s_;
  Alerts& alerts_;
  RepetitionAnalyzer& analyzer_;
  Comparison& comparison_;
  ChartWindowLinks links_;
  Source source_ = Source::Repetitions;
  ChartChoice choice_;
  ChartViewWidget* view_ = nullptr;
  std::vector<QAction*> quantityItems_, phaseItems_, pairItems_, unitItems_;
};

}  // namespace tidemet
