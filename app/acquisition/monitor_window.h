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
#include "app/video/monitor_video_pane_widget.h"
#include "app/video/video_panel_widget.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollBar;
class QTimer;

namespace tidemet {

class AxisLabelWidget;
class DiagnosticsDialog;
class LiveGraphWidget;
class RepetitionAnalyzer;

class MonitorWindow;

// Where tests reach into the monitor window: the device of the session's model, and a call
// right after the acquisition thread has started (a test holds the window there to let the
// first reading arrive before the window is ready).
struct MonitorWindowSeams {
  std::function<AcquisitionWorker::SourceFactory(const SourceSettings&, const Clock&,
                                                 DeviceMessages&)>
      makeSource = MakeSourceFactory;
  std::function<void(MonitorWindow&)> afterDeviceStarted;
  // The camera captures are taken from (the demo pattern for the demo model); nothing without
  // one. The reference stroke videos are looked up in `installFolder`.
  std::function<std::optional<CaptureSource>(const Session&)> findCamera = FindCamera;
  std::string installFolder;
};

class MonitorWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Opening and saving a trial go through these (the files of the trial); each returns false
  // when nothing was opened or saved (the reason has been shown already).
  struct TrialFiles {
    std::function<bool(const std::string& path)> open;
    std::function<bool(const std::string& path)> save;
  };

  using Seams = MonitorWindowSeams;

  MonitorWindow(Session& session, Alerts& alerts, TrialFiles files, QWidget* parent = nullptr,
                Seams seams = {});
  ~MonitorWindow() override;

  void StartMonitor();
  void StartCmd();
  // Commands that lead to recording ask this first; it shows why when they may not go on.
  void setRecordingCheck(std::function<bool()> check) { recordingCheck_ = std::move(check); }
  // Shows the held trial from its first sample (the graph view of a recording or an open file).
  // The tick stops first: nothing of the monitor draws over the trial.
  void showTrial();
  // Leaving the monitor for another window: a running recording ends as Stop ends it, then the
  // tick stops.
  void leaveMonitor();
  // The settings window's Continue: lay the graphs out again in the chosen colours.
  void settingsContinued();
  // File Open and File Save of the trial once its file is chosen.
  void openTrial(const std::string& path);
  bool saveTrial(const std::string& path);

  MonitorVideoPaneWidget& videoPane() { return *videoPane_; }

  MonitorController& controller() { return *controller_; }
  LiveGraphWidget& graph(int i) { return *graphs_[i]; }
  AxisLabelWidget& axis(int i) { return *axes_[i]; }
  QString hint() const;
  QString status() const;

 signals:
  void readingsQueued();
  // File > Exit and Help > Contents belong to the program, not to this window.
  void exitRequested();
  void helpRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  using Op = std::function<unsigned(int)>;
  std::vector<QAction*> addGroup(QMenu* menu, const std::vector<const char*>& captions, Op op);
  void buildMenus();
  void buildCentre();
  void openDevice();
  void ensureLoaded();
  void release();
  void drain();
  void afterProcessing();
  void showState();
  void redrawPage(int graph);
  void apply(unsigned refresh);
  void syncChecks();
  void syncLabels();
  void onReadingsQueued();
  void pageTo(int graph, int position);
  void showPointer(int graph, int column);
  void openFile();
  void saveFile();
  void MDiagMenu();
  void videoRecordingStopped();
  void onVideoFrame(int sample);

  Session& s_;
  Alerts& alerts_;
  TrialFiles files_;
  std::function<bool()> recordingCheck_;
  Seams seams_;
  MonotonicClock clock_;
  std::unique_ptr<PairSink> sink_;
  std::unique_ptr<MonitorController> controller_;
  std::atomic<bool> notifyPending_{false};
  SourceSettings deviceSettings_;  // what the open device was made for
  bool hasDevice_ = false;         // the model takes readings at all
  DeviceMessages probeMessages_;   // only asked whether a model has a device
  bool wasRecording_ = false;
  std::unique_ptr<RepetitionAnalyzer> analyzer_;

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
  QAction* startAction_ = nullptr;
  QLabel* hintLabel_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QTimer* safetyTimer_ = nullptr;
  std::unique_ptr<DiagnosticsDialog> diag_;

  MonitorVideoPaneWidget* videoPane_ = nullptr;

  struct Groups {
    std::vector<QAction*> gain, rate, buffers, series, sensorValue, sensorType, channels, pair,
        limb, units, stroke, joint, movement, side, type;
  } groups_;
};

}  // namespace tidemet
