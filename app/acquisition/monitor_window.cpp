#include "app/acquisition/monitor_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "app/acquisition/axis_label_widget.h"
#include "app/acquisition/diagnostics_dialog.h"
#include "app/acquisition/graph_canvas.h"
#include "app/acquisition/graph_paging.h"
#include "app/acquisition/live_graph_widget.h"
#include "app/acquisition/monitor_status.h"
#include "app/acquisition/pointer_readout.h"
#include "app/acquisition/sources/source_factory.h"
#include "app/analysis/recompute_analysis.h"
#include "app/analysis/repetition_analyzer.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/ui/trial_export_dialog.h"

namespace tidemet {
namespace {

const QString kFileFilter = QStringLiteral("Tidemet Data (*.dat);;Tidemet Summary (*.sum)");
constexpr int kSafetyDrainMs = 250;

}  // namespace

MonitorWindow::MonitorWindow(Session& session, Alerts& alerts, TrialFiles files, QWidget* parent,
                             Seams seams)
    : QMainWindow(parent),
      s_(session),
      alerts_(alerts),
      files_(std::move(files)),
      seams_(std::move(seams)),
      analyzer_(std::make_unique<RepetitionAnalyzer>()) {
  setWindowTitle(QString::fromStdString(MonitorTitle(s_)));
  buildCentre();
  sink_ = std::make_unique<PairSink>(*graphs_[0], *graphs_[1]);
  // Every path from the acquisition thread is in place before the thread starts: a notice sent
  // at once must find its receiver.
  connect(this, &MonitorWindow::readingsQueued, this, &MonitorWindow::drain, Qt::QueuedConnection);
  // A lost or early notice cannot stall the window for good: a slow timer drains as well.
  safetyTimer_ = new QTimer(this);
  safetyTimer_->setInterval(kSafetyDrainMs);
  connect(safetyTimer_, &QTimer::timeout, this, &MonitorWindow::drain);
  buildMenus();
  openDevice();
  apply(kRefreshChecks | kRefreshLabels | kRefreshSurfaceArea | kRefreshAxisLabels);
}

void MonitorWindow::openDevice() {
  diag_.reset();  // it reads the controller that is replaced here
  if (controller_) controller_->unload();
  deviceSettings_ = SourceSettings::from(s_);
  hasDevice_ = static_cast<bool>(seams_.makeSource(deviceSettings_, clock_, probeMessages_));
  // The factory reaches the controller's message box queue, which exists once the controller
  // does: it is only called when load() starts the acquisition thread.
  controller_ = std::make_unique<MonitorController>(
      s_, alerts_, *sink_, clock_,
      [this, settings = deviceSettings_]() -> std::unique_ptr<Source> {
        auto make = seams_.makeSource(settings, clock_, controller_->messages());
        return make ? make() : nullptr;
      },
      [this] {
        // Runs on the acquisition thread: one queued call at a time is enough, the window drains
        // everything that has arrived when it gets to it.
        if (!notifyPending_.exchange(true)) emit readingsQueued();
      });
  ensureLoaded();
}

void MonitorWindow::ensureLoaded() {
  if (controller_->worker().running()) return;
  notifyPending_.store(false);
  controller_->load();
  safetyTimer_->start();
  if (seams_.afterDeviceStarted) seams_.afterDeviceStarted(*this);
}

void MonitorWindow::release() {
  leaveMonitor();
  videoPane_->release();
  diag_.reset();
  safetyTimer_->stop();
  controller_->unload();
}

MonitorWindow::~MonitorWindow() {
  diag_.reset();
  controller_->unload();
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
  release();
  QMainWindow::closeEvent(event);
}

void MonitorWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (event->spontaneous()) return;
  ensureLoaded();
  drain();
}

void MonitorWindow::hideEvent(QHideEvent* event) {
  QMainWindow::hideEvent(event);
  // Minimising is the window system's hide; only a hide of our own releases the device.
  if (!event->spontaneous()) release();
}

void MonitorWindow::drain() {
  notifyPending_.store(false);
  controller_->onReadingsQueued();
  afterProcessing();
}

void MonitorWindow::afterProcessing() {
  const bool recording = controller_->recording();
  if (wasRecording_ && !recording && !controller_->loop().timerEnabled()) {
    // The recording ended without the button (the trial buffer filled): show it as Stop would.
    wasRecording_ = false;
    videoRecordingStopped();
    showState();
    showTrial();
    return;
  }
  wasRecording_ = recording;
  if (recording) {
    const QString text = QString::fromStdString(RecordingStatus(
        s_, static_cast<double>(controller_->stopwatch().elapsedMilliseconds()) / 1000.0));
    if (statusLabel_->text() != text) statusLabel_->setText(text);
  }
}

void MonitorWindow::showState() {
  const SamplingLoop& loop = controller_->loop();
  startButton_->setText(QString::fromStdString(loop.buttonCaption()));
  // A new recording starts from Data, Monitor.
  startButton_->setEnabled(loop.timerEnabled());
  startAction_->setEnabled(loop.timerEnabled());
  if (!controller_->recording()) {
    statusLabel_->setText(s_.MonitorOnly == 0 && s_.SampleCount > 0
                              ? QStringLiteral("Trial held: %1 samples over %2 s")
                                    .arg(s_.SampleCount + 1)
                                    .arg(static_cast<double>(s_.TrialSeconds), 0, 'f', 2)
                              : QString());
  }
  const QString hintText = QString::fromStdString(MonitorHint(s_, hasDevice_));
  hintLabel_->setText(hintText);
  hintLabel_->setVisible(!hintText.isEmpty());
}

QString MonitorWindow::hint() const {
  return hintLabel_->isHidden() ? QString() : hintLabel_->text();
}
QString MonitorWindow::status() const { return statusLabel_->text(); }

void MonitorWindow::leaveMonitor() {
  if (controller_->recording()) {
    StartCmd();  // the trial is kept with its measured time
    return;
  }
  controller_->LeaveMonitor();
  showState();
}

void MonitorWindow::settingsContinued() {
  for (LiveGraphWidget* graph : graphs_) graph->setColours(s_.DataForeColor, s_.DataBackColor);
  apply(kRefreshChecks | kRefreshLabels | kRefreshSurfaceArea | kRefreshAxisLabels |
        kRefreshLayout);
  if (!controller_->loop().timerEnabled() && pageBars_[0]->isEnabled()) {
    showTrial();
  } else {
    for (LiveGraphWidget* graph : graphs_) {
      graph->clear();
      graph->drawGrid(1, kSweepWidth - 1);
    }
  }
}

void MonitorWindow::MDiagMenu() {
  // A fresh dialog each time: the device, and with it the controller, may have changed.
  diag_ = std::make_unique<DiagnosticsDialog>(
      s_, *controller_, alerts_, [this] { apply(kRefreshAxisLabels | kRefreshLayout); }, this,
      CaptureFigures(videoPane_->lastStatus()));
  diag_->open();
}

void MonitorWindow::buildCentre() {
  auto* centre = new QWidget(this);
  auto* grid = new QGridLayout(centre);
  hintLabel_ = new QLabel(centre);
  hintLabel_->setObjectName(QStringLiteral("MonitorHint"));
  hintLabel_->setWordWrap(true);
  hintLabel_->setVisible(false);
  grid->addWidget(hintLabel_, 0, 0, 1, 3);
  for (int g = 0; g < 2; ++g) {
    axes_[g] = new AxisLabelWidget(centre);
    graphs_[g] = new LiveGraphWidget(centre);
    baselineBars_[g] = new QScrollBar(Qt::Vertical, centre);
    baselineBars_[g]->setRange(-79, 79);
    pageBars_[g] = new QScrollBar(Qt::Horizontal, centre);
    pageBars_[g]->setEnabled(false);
    timeLabels_[g] = new QLabel(centre);
    const int row = 1 + g * 3;
    grid->addWidget(axes_[g], row, 0);
    grid->addWidget(graphs_[g], row, 1);
    grid->addWidget(baselineBars_[g], row, 2);
    grid->addWidget(pageBars_[g], row + 1, 1);
    grid->addWidget(timeLabels_[g], row + 2, 1);
    grid->setRowStretch(row, 1);
    connect(baselineBars_[g], &QScrollBar::valueChanged, this, [this, g](int value) {
      const int channel = g == 0 ? s_.PairStartChannel : s_.PairSecondChannel;
      s_.BaselineOffsets[channel] = static_cast<int16_t>(-value);
      // A held trial is drawn again whole with the new offset, so no page mixes two offsets.
      if (!controller_->loop().timerEnabled() && pageBars_[g]->isEnabled()) redrawPage(g);
    });
    connect(pageBars_[g], &QScrollBar::valueChanged, this, [this, g](int value) { pageTo(g, value); });
    connect(graphs_[g], &LiveGraphWidget::pointerMoved, this,
            [this, g](int column) { showPointer(g, column); });
  }
  videoPane_ = new MonitorVideoPaneWidget(
      s_, alerts_, {seams_.findCamera, seams_.installFolder, files_.save}, centre);
  grid->addWidget(videoPane_, 1, 3, 6, 1);
  connect(videoPane_, &MonitorVideoPaneWidget::frameShown, this, &MonitorWindow::onVideoFrame);
  for (int g = 0; g < 2; ++g) {
    connect(graphs_[g], &LiveGraphWidget::clicked, this, [this, g](int column) {
      if (pageBars_[g]->isEnabled()) videoPane_->showSample(pagePosition_[g] + column);
    });
  }
  // The graphs take all the spare room; the scales and bars keep their own width.
  grid->setColumnStretch(1, 1);
  auto* bottom = new QHBoxLayout();
  forceLabel_ = new QLabel(centre);
  areaText_ = new QLineEdit(centre);
  areaText_->setObjectName(QStringLiteral("MonSAtext"));
  areaText_->setMaximumWidth(80);
  areaUnit_ = new QLabel(centre);
  startButton_ = new QPushButton(QStringLiteral("Start Collecting Data"), centre);
  startButton_->setObjectName(QStringLiteral("StartCmd"));
  startButton_->setEnabled(false);
  bottom->addWidget(forceLabel_);
  bottom->addStretch(1);
  bottom->addWidget(areaText_);
  bottom->addWidget(areaUnit_);
  bottom->addStretch(1);
  bottom->addWidget(startButton_);
  grid->addLayout(bottom, 7, 0, 1, 3);
  setCentralWidget(centre);
  statusLabel_ = new QLabel(this);
  statusLabel_->setObjectName(QStringLiteral("MonitorStatus"));
  statusBar()->addWidget(statusLabel_, 1);
  resize(900, 620);

  connect(areaText_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    std::string text = typed.toStdString();
    apply(EnterSurfaceArea(s_, alerts_, text));
  });
  connect(startButton_, &QPushButton::clicked, this, &MonitorWindow::StartCmd);
}

void MonitorWindow::apply(unsigned refresh) {
  if (refresh & kRefreshChecks) syncChecks();
  if (refresh & (kRefreshLabels | kRefreshSurfaceArea)) syncLabels();
  // The scale follows every change that can move it (gain, sensors, surface area, units), on
  // the live and on the held trial alike.
  if (!(refresh & kRefreshAxisLabels)) ComputeAxisLabels(s_);
  for (AxisLabelWidget* axis : axes_) axis->setLabels(s_.AxisLabels);
  if (refresh & kRefreshLayout) {
    for (int g = 0; g < 2; ++g) {
      const int channel = g == 0 ? s_.PairStartChannel : s_.PairSecondChannel;
      QSignalBlocker block(baselineBars_[g]);
      baselineBars_[g]->setValue(-s_.BaselineOffsets[channel]);
    }
  }
  if (controller_) showState();
  if (controller_ && (refresh & (kRefreshGraphs | kRefreshLayout)) &&
      !controller_->loop().timerEnabled() && pageBars_[0]->isEnabled())
    showTrial();
}

void MonitorWindow::syncChecks() {
  const MonitorChecks& c = s_.labels.monitor;
  auto check = [](const std::vector<QAction*>& group, int item) {
    for (size_t i = 0; i < group.size(); ++i) group[i]->setChecked(static_cast<int>(i) == item);
  };
  check(groups_.gain, c.gain);
  check(groups_.rate, c.rate);
  check(groups_.buffers, c.buffers);
  check(groups_.series, c.series);
  check(groups_.sensorValue, c.sensorValue);
  check(groups_.sensorType, c.sensorType);
  check(groups_.channels, c.channels);
  check(groups_.pair, c.pair);
  check(groups_.limb, c.limb);
  check(groups_.units, c.units);
  check(groups_.stroke, c.stroke);
  check(groups_.joint, c.joint);
  check(groups_.movement, c.movement);
  check(groups_.side, c.side);
  check(groups_.type, c.typeItem);
  for (size_t p = 0; p < groups_.pair.size(); ++p) groups_.pair[p]->setEnabled(c.pairEnabled[p]);
}

void MonitorWindow::syncLabels() {
  forceLabel_->setText(QString::fromStdString(s_.labels.units.Force));
  areaUnit_->setText(QString::fromStdString(s_.labels.units.Area));
  const QString area = QString::fromStdString(s_.labels.SurfaceAreaText);
  if (areaText_->text() != area) areaText_->setText(area);
}

void MonitorWindow::StartMonitor() {
  if (recordingCheck_ && !recordingCheck_()) return;
  // Another model, port or node chosen meanwhile brings its own device; a window that was
  // closed opens its device again.
  if (!SourceSettings::from(s_).opensSameDeviceAs(deviceSettings_)) openDevice();
  ensureLoaded();
  controller_->StartMonitor();
  videoPane_->backToCamera();
  for (LiveGraphWidget* graph : graphs_) graph->setMarker(-1);
  setWindowTitle(QString::fromStdString(controller_->loop().windowCaption()));
  for (QScrollBar* bar : pageBars_) bar->setEnabled(false);
  for (int g = 0; g < 2; ++g) {
    graphs_[g]->setColours(s_.DataForeColor, s_.DataBackColor);
    pagePosition_[g] = 0;
  }
  wasRecording_ = false;
  apply(kRefreshChecks | kRefreshLayout | kRefreshAxisLabels);
}

void MonitorWindow::StartCmd() {
  if (!controller_->loop().timerEnabled()) return;
  if (s_.MonitorOnly == 1 && recordingCheck_ && !recordingCheck_()) return;
  const bool before = controller_->recording();
  controller_->StartCmd();
  wasRecording_ = controller_->recording();
  if (!before && wasRecording_) videoPane_->recordingStarted();
  if (before && !wasRecording_) videoRecordingStopped();
  showState();
  if (!controller_->loop().timerEnabled()) showTrial();
}

void MonitorWindow::showTrial() {
  // Nothing of the monitor may draw over the trial once it is shown.
  if (controller_->loop().timerEnabled()) {
    const bool wasRecording = controller_->recording();
    leaveMonitor();
    if (wasRecording) return;  // the stop has shown the trial
  }
  const int last = std::max(0, static_cast<int>(s_.SampleCount) - (kSweepWidth - 1));
  for (int g = 0; g < 2; ++g) {
    QSignalBlocker block(pageBars_[g]);
    pageBars_[g]->setRange(0, last);
    pageBars_[g]->setSingleStep(8);
    pageBars_[g]->setPageStep(kSweepWidth);
    pageBars_[g]->setValue(0);
    pageBars_[g]->setEnabled(s_.SampleCount > 0);
    pagePosition_[g] = 0;
    redrawPage(g);
  }
  videoPane_->showHeldVideo();
}

void MonitorWindow::redrawPage(int graph) {
  graphs_[graph]->clear();
  graphs_[graph]->drawGrid(1, kSweepWidth - 1);
  ApplyPageMove(s_, graph, PageMove{pagePosition_[graph], -kSweepWidth, 0, kSweepWidth - 1},
                *graphs_[graph]);
}

void MonitorWindow::pageTo(int graph, int position) {
  const PageMove move = PlanPageMove(pagePosition_[graph], position);
  ApplyPageMove(s_, graph, move, *graphs_[graph]);
  pagePosition_[graph] = move.position;
}

void MonitorWindow::showPointer(int graph, int column) {
  PointerReadout r;
  if (!controller_->loop().timerEnabled()) r = ReadPointer(s_, graph, pagePosition_[graph] + column);
  QString text;
  if (!r.time.empty()) text = QStringLiteral("Time %1 s").arg(QString::fromStdString(r.time));
  if (!r.rep.empty())
    text += QStringLiteral("   Rep %1   Rep Time %2 s")
                .arg(QString::fromStdString(r.rep), QString::fromStdString(r.repTime));
  timeLabels_[graph]->setText(text);
}

void MonitorWindow::openFile() {
  // The tick stops (a recording ends as Stop ends it) before the dialog can open a trial.
  leaveMonitor();
  const QString path = QFileDialog::getOpenFileName(
      this, QString::fromStdString(std::string(AppTitle) + " File Open"), QString(), kFileFilter);
  if (!path.isEmpty()) openTrial(path.toStdString());
}

void MonitorWindow::openTrial(const std::string& path) {
  leaveMonitor();
  if (!files_.open || !files_.open(path)) return;
  // The pointer readout shows the repetitions of the trial just opened.
  RecomputeAnalysis(s_, *analyzer_, alerts_);
  apply(kRefreshChecks | kRefreshLabels | kRefreshSurfaceArea | kRefreshLayout);
  for (LiveGraphWidget* graph : graphs_) graph->setMarker(-1);
  videoPane_->trialOpened(path);
  showTrial();
  setWindowTitle(QString::fromStdString(MonitorTitle(s_)));
}

void MonitorWindow::saveFile() {
  QFileDialog dialog(this, QString::fromStdString(std::string(AppTitle) + " File Save"), QString(),
                     kFileFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("dat"));
  if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
    saveTrial(dialog.selectedFiles().first().toStdString());
}

bool MonitorWindow::saveTrial(const std::string& path) {
  if (!files_.save || !videoPane_->saveTrial(path)) return false;
  setWindowTitle(QString::fromStdString(MonitorTitle(s_)));
  return true;
}

void MonitorWindow::videoRecordingStopped() {
  if (videoPane_->recordingStopped()) setWindowTitle(QString::fromStdString(MonitorTitle(s_)));
}

void MonitorWindow::onVideoFrame(int sample) {
  if (controller_->loop().timerEnabled()) return;
  for (int g = 0; g < 2; ++g) {
    if (!pageBars_[g]->isEnabled()) continue;
    // The page turns when the frame's sample leaves it, putting the sample in the middle.
    if (sample < pagePosition_[g] || sample >= pagePosition_[g] + kSweepWidth)
      pageBars_[g]->setValue(std::max(0, sample - kSweepWidth / 2));
    const int column = sample - pagePosition_[g];
    graphs_[g]->setMarker(column);
    showPointer(g, column);
  }
}

std::vector<QAction*> MonitorWindow::addGroup(QMenu* menu, const std::vector<const char*>& captions,
                                              Op op) {
  std::vector<QAction*> actions;
  for (size_t i = 0; i < captions.size(); ++i) {
    QAction* action = menu->addAction(QString::fromUtf8(captions[i]));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this, [this, op, i] { apply(op(static_cast<int>(i))); });
    actions.push_back(action);
  }
  return actions;
}

void MonitorWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  QAction* open = file->addAction(tr("&Open..."));
  open->setShortcut(QKeySequence::Open);
  connect(open, &QAction::triggered, this, &MonitorWindow::openFile);
  saveAction_ = file->addAction(tr("&Save..."));
  saveAction_->setShortcut(QKeySequence::Save);
  connect(saveAction_, &QAction::triggered, this, &MonitorWindow::saveFile);
  connect(file->addAction(tr("&Export...")), &QAction::triggered, this,
          [this] { ExportTrialWithDialog(this, s_, alerts_); });
  file->addSeparator();
  connect(file->addAction(tr("&Close")), &QAction::triggered, this, &QWidget::close);
  QAction* exit = file->addAction(tr("E&xit"));
  exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  connect(exit, &QAction::triggered, this, &MonitorWindow::exitRequested);

  QMenu* gain = menuBar()->addMenu(tr("&Gain"));
  groups_.gain =
      addGroup(gain, {".025", ".&05", ".&1", ".&25", ".&5", "&1", "&2", "&4"},
               [this](int i) { return SetGraphGain(s_, i, controller_->loop().timerEnabled()); });

  QMenu* rate = menuBar()->addMenu(tr("&Rate"));
  groups_.rate = addGroup(rate, {"&Slow", "&Medium", "&Fast"},
                          [this](int i) { return SetRate(s_, static_cast<RateItem>(i)); });
  rate->addSeparator();
  connect(rate->addAction(QStringLiteral("10% S&lower")), &QAction::triggered, this,
          [this] { apply(RateSlower(s_)); });
  connect(rate->addAction(QStringLiteral("10% F&aster")), &QAction::triggered, this,
          [this] { apply(RateFaster(s_)); });
  QMenu* buffers = rate->addMenu(tr("&Buffers"));
  groups_.buffers = addGroup(buffers,
                             {"&Buffers = 0", "&Buffers = 1", "&Buffers = 5", "&Buffers = 10",
                              "&Buffers = 20", "&Buffers = 50"},
                             [this](int i) { return SetBuffers(s_, i); });

  QMenu* sensors = menuBar()->addMenu(tr("&Sensors"));
  groups_.series =
      addGroup(sensors, {"Series &25", "Series &40", "Series &80", "Series &90", "Series 90&DP"},
               [this](int i) { return SetSensorSeries(s_, i); });
  sensors->addSeparator();
  groups_.sensorValue =
      addGroup(sensors,
               {"Sensor Value 0", "Sensor Value -100", "Sensor Value -200", "Sensor Value -300",
                "Sensor Value -400", "Sensor Value -2250", "Sensor Value -2400"},
               [this](int i) { return ToggleSensorValue(s_, i); });
  sensors->addSeparator();
  groups_.sensorType = addGroup(sensors, {"Sensor Type 0", "Sensor Type 1"},
                                [this](int i) { return SetSensorType(s_, i); });
  sensors->addSeparator();
  groups_.type = addGroup(sensors, {"Type &A or B auto", "Type A or B &manual", "Type &C or D"},
                          [this](int i) { return ApplyTypeItem(s_, static_cast<TypeItem>(i)); });

  QMenu* channels = menuBar()->addMenu(tr("&Channels"));
  groups_.channels = addGroup(channels, {"&Two", "&Four", "&Eight"},
                              [this](int i) { return SetChannelCount(s_, i); });
  channels->addSeparator();
  groups_.pair = addGroup(channels, {"&1 and 2", "&3 and 4", "&5 and 6", "&7 and 8"},
                          [this](int i) { return SetPair(s_, i); });

  QMenu* limb = menuBar()->addMenu(tr("&Limb"));
  groups_.limb =
      addGroup(limb, {"&Arm", "&Leg", "A&rm and Leg"}, [this](int i) { return SetLimb(s_, i); });
  limb->addSeparator();
  groups_.side = addGroup(limb, {"L&eft", "&Right"}, [this](int i) { return SetSide(s_, i); });

  QMenu* units = menuBar()->addMenu(tr("&Units"));
  groups_.units =
      addGroup(units, {"&Metric", "&US"}, [this](int i) { return SwitchUnits(s_, i == 0); });

  QMenu* stroke = menuBar()->addMenu(tr("S&troke"));
  groups_.stroke = addGroup(stroke, {"&Freestyle", "B&reaststroke", "&Backstroke", "B&utterfly"},
                            [this](int i) { return SetSwimStroke(s_, i); });

  QMenu* joint = menuBar()->addMenu(tr("&Joint"));
  groups_.joint = addGroup(joint, {"&Wrist", "&Elbow", "&Shoulder", "&Hip", "&Knee", "A&nkle"},
                           [this](int i) { return SetJoint(s_, static_cast<Joint>(i)); });
  joint->addSeparator();
  groups_.movement =
      addGroup(joint, {"&Positive/Negative", "&Flexion/Extension", "A&dduction/Abduction"},
               [this](int i) { return SetJointAction(s_, i); });

  QMenu* data = menuBar()->addMenu(tr("&Data"));
  connect(data->addAction(tr("&Monitor")), &QAction::triggered, this, &MonitorWindow::StartMonitor);
  // The same as the button; F5 reaches it wherever the keyboard focus is.
  startAction_ = data->addAction(tr("&Start/Stop Collecting Data"));
  startAction_->setShortcut(QKeySequence(Qt::Key_F5));
  startAction_->setEnabled(false);
  connect(startAction_, &QAction::triggered, this, &MonitorWindow::StartCmd);
  for (const char* later : {"&Analysis", "&Comparison", "C&hart"}) {
    QAction* action = data->addAction(QString::fromUtf8(later));
    action->setEnabled(false);  // those windows are not part of this program yet
  }
  connect(data->addAction(QStringLiteral("Diag&nostics")), &QAction::triggered, this,
          &MonitorWindow::MDiagMenu);

  menuBar()->addMenu(videoPane_->menu());
  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* contents = help->addAction(tr("&Contents"));
  contents->setShortcut(QKeySequence(Qt::Key_F1));
  connect(contents, &QAction::triggered, this, &MonitorWindow::helpRequested);
}

}  // namespace tidemet
