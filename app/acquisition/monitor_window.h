#pragma once
// The monitor window: two live graphs of the displayed pair with their force scales and baseline
// scroll bars, the menus that set the session, the surface-area box and the Start/Stop button.
// Readings are taken on the acquisition thread; this window only processes and draws them.

#include <QMainWindow>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/acquisition/clock.h"
#include "app/acquisition/graph_canvas.h"
#include "app/acquisition/monitor_controller.h"
#include "app/acquisition/sources/source_factory.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;

namespace tidemet {

class AxisLabelWidget;
class DiagnosticsDialog;
class LiveGraphWidget;

class MonitorWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Opening and saving a trial go through these (the files of the trial); each returns false
  // when nothing was opened or saved (the reason has been shown already).
  struct TrialFiles {
    std::function<bool(const std::string& path)> open;
    std::function<bool(const std::string& path)> save;
  };

  MonitorWindow(Session& session, Alerts& alerts, TrialFiles files, QWidget* parent = nullptr);
  ~MonitorWindow() override;

  void StartMonitor();
  void StartCmd();
  // Commands that lead to recording ask this first; it shows why when they may not go on.
  void setRecordingCheck(std::function<bool()> check) { recordingCheck_ = std::move(check); }
  // Shows the held trial from its first sample (the graph view of a recording or an open file).
  void showTrial();

  MonitorController& controller() { return *controller_; }
  LiveGraphWidget& graph(int i) { return *graphs_[i]; }

 signals:
  void readingsQueued();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  using Op = std::function<unsigned(int)>;
  std::vector<QAction*> addGroup(QMenu* menu, const std::vector<const char*>& captions, Op op);
  void buildMenus();
  void buildCentre();
  void openDevice();
  void apply(unsigned refresh);
  void syncChecks();
  void syncLabels();
  void onReadingsQueued();
  void pageTo(int graph, int position);
  void showPointer(int graph, int column);
  void openFile();
  void saveFile();
  void MDiagMenu();

  Session& s_;
  Alerts& alerts_;
  TrialFiles files_;
  std::function<bool()> recordingCheck_;
  MonotonicClock clock_;
  std::unique_ptr<PairSink> sink_;
  std::unique_ptr<MonitorController> controller_;
  std::atomic<bool> notifyPending_{false};
  SourceSettings deviceSettings_;  // what the open device was made for

  LiveGraphWidget* graphs_[2] = {};
  AxisLabelWidget* axes_[2] = {};
  QScrollBar* baselineBars_[2] = {};
  QScrollBar* pageBars_[2] = {};
  QLabel* timeLabels_[2] = {};
  int pagePosition_[2] = {0, 0};
  QLineEdit* areaText_ = nullptr;
  QLabel* areaUnit_ = nullptr;
  QLabel* forceLabel_ = nullptr;
  QPushButton* startButton_ = nullptr;
  QAction* saveAction_ = nullptr;
  std::unique_ptr<DiagnosticsDialog> diag_;

  struct Groups {
    std::vector<QAction*> gain, rate, buffers, series, sensorValue, sensorType, channels, pair,
        limb, units, stroke, joint, movement, side, type;
  } groups_;
};

}  // namespace tidemet
