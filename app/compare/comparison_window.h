#pragma once
// The comparison window `Comp`: one row per summary file with the chosen kind of mean of the
// eight values of the analysis grid. Adding, deleting and rebuilding are the core's; the window
// turns menu choices into those calls and shows the grid.

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "app/compare/comparison.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

class QAction;
class QLabel;
class QTableView;

namespace tidemet {

class TextTableModel;

class ComparisonWindow : public QMainWindow {
  Q_OBJECT

 public:
  // `showChart` opens the chart window on the comparison, `showAnalysis` the analysis window.
  ComparisonWindow(Session& session, Alerts& alerts, Comparison& comparison,
                   std::function<void()> showChart, std::function<void()> showAnalysis,
                   QWidget* parent = nullptr);
  ~ComparisonWindow() override;

  void showComparison();

  // Menu commands (also reached by tests).
  void CompOpenMenu();
  bool addFile(const std::string& path);
  void CompDeleteMenu();
  void CompDeleteAllMenu();
  void selectMeanKind(int kind);  // 1..4
  void selectMode(int mode);      // 0 peak force, 1 impulse, 2 avg force
  void selectUnits(bool metric);
  void selectPair(int item);
  void selectLimb(int item);  // 0 arm, 1 leg
  void CompCopyReportMenu();
  void CompPrintMenu();
  void ExportPdfMenu();
  void CompChartMenu();
  void CompAnalysisMenu();

  QTableView& gridView() const { return *grid_; }
  QAction* action(const char* name) const;

 private:
  void buildMenus();
  void showRows();
  void rebuild();

  Session& s_;
  Alerts& alerts_;
  Comparison& comparison_;
  std::function<void()> showChart_, showAnalysis_;
  TextTableModel* model_ = nullptr;
  QTableView* grid_ = nullptr;
  QLabel* heading_ = nullptr;
  std::vector<QAction*> meanItems_, modeItems_, unitItems_, pairItems_, limbItems_;
};

}  // namespace tidemet
