#include "app/acquisition/monitor_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/acquisition/axis_label_widget.h"
#include "app/acquisition/diagnostics_dialog.h"
#include "app/acquisition/sources/source_factory.h"
#include "app/acquisition/graph_canvas.h"
#include "app/acquisition/graph_paging.h"
#include "app/acquisition/live_graph_widget.h"
#include "app/acquisition/pointer_readout.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

const QString kFileFilter = QStringLiteral("Tidemet Data (*.dat);;Tidemet Summary (*.sum)");

}  // namespace

MonitorWindow::MonitorWindow(Session& session, Alerts& alerts, TrialFiles files, QWidget* parent)
    : QMainWindow(parent), s_(session), alerts_(alerts), files_(std::move(files)) {
  setWindowTitle(QString::fromStdString(std::string(AppTitle) + " Data Monitor"));
  buildCentre();
  sink_ = std::make_unique<PairSink>(*graphs_[0], *graphs_[1]);
  openDevice();
  connect(this, &MonitorWindow::readingsQueued, this, &MonitorWindow::onReadingsQueued,
          Qt::QueuedConnection);
  buildMenus();
  apply(kRefreshChecks | kRefreshLabels | kRefreshSurfaceArea | kRefreshAxisLabels);
}

void MonitorWindow::openDevice() {
  diag_.reset();  // it reads the controller that is replaced here
  if (controller_) controller_->unload();
  deviceSettings_ = SourceSettings::from(s_);
  // The factory reaches the controller's message box queue, which exists once the controller
  // does: it is only called when load() starts the acquisition thread.
  controller_ = std::make_unique<MonitorController>(
      s_, alerts_, *sink_, clock_,
      [this, settings = SourceSettings::from(s_)]() -> std::unique_ptr<Source> {
        auto make = MakeSourceFactory(settings, clock_, controller_->messages());
        return make ? make() : nullptr;
      },
      [this] {
        // Runs on the acquisition thread: one queued call at a time is enough, the window drains
        // everything that has arrived when it gets to it.
        if (!notifyPending_.exchange(true)) emit readingsQueued();
      });
  controller_->load();
}

MonitorWindow::~MonitorWindow() {
  diag_.reset();
  controller_->unload();
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
  controller_->unload();
  QMainWindow::closeEvent(event);
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
  connect(file->addAction(tr("&Open...")), &QAction::triggered, this, &MonitorWindow::openFile);
  saveAction_ = file->addAction(tr("&Save..."));
  connect(saveAction_, &QAction::triggered, this, &MonitorWindow::saveFile);
  file->addSeparator();
  connect(file->addAction(tr("&Close")), &QAction::triggered, this, &QWidget::close);

  QMenu* gain = menuBar()->addMenu(tr("&Gain"));
  groups_.gain = addGroup(gain, {".025", ".&05", ".&1", ".&25", ".&5", "&1", "&2", "&4"}, [this](int i) {
    return SetGraphGain(s_, i, controller_->loop().timerEnabled());
  });

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
  groups_.series = addGroup(sensors, {"Series &25", "Series &40", "Series &80", "Series &90", "Series 90&DP"},
                            [this](int i) { return SetSensorSeries(s_, i); });
  sensors->addSeparator();
  groups_.sensorValue = addGroup(sensors,
                                 {"Sensor Value 0", "Sensor Value -100", "Sensor Value -200",
                                  "Sensor Value -300", "Sensor Value -400", "Sensor Value -2250",
                                  "Sensor Value -2400"},
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
  groups_.limb = addGroup(limb, {"&Arm", "&Leg", "A&rm and Leg"}, [this](int i) { return SetLimb(s_, i); });
  limb->addSeparator();
  groups_.side = addGroup(limb, {"L&eft", "&Right"}, [this](int i) { return SetSide(s_, i); });

  QMenu* units = menuBar()->addMenu(tr("&Units"));
  groups_.units = addGroup(units, {"&Metric", "&US"}, [this](int i) { return SwitchUnits(s_, i == 0); });

  QMenu* stroke = menuBar()->addMenu(tr("S&troke"));
  groups_.stroke = addGroup(stroke, {"&Freestyle", "B&reaststroke", "&Backstroke", "B&utterfly"},
                            [this](int i) { return SetSwimStroke(s_, i); });

  QMenu* joint = menuBar()->addMenu(tr("&Joint"));
  groups_.joint = addGroup(joint, {"&Wrist", "&Elbow", "&Shoulder", "&Hip", "&Knee", "A&nkle"},
                           [this](int i) { return SetJoint(s_, static_cast<Joint>(i)); });
  joint->addSeparator();
  groups_.movement = addGroup(joint, {"&Positive/Negative", "&Flexion/Extension", "A&dduction/Abduction"},
                              [this](int i) { return SetJointAction(s_, i); });

  QMenu* data = menuBar()->addMenu(tr("&Data"));
  connect(data->addAction(tr("&Monitor")), &QAction::triggered, this, &MonitorWindow::StartMonitor);
  for (const char* later : {"&Analysis", "&Comparison", "C&hart"}) {
    QAction* action = data->addAction(QString::fromUtf8(later));
    action->setEnabled(false);  // those windows are not part of this program yet
  }
  connect(data->addAction(QStringLiteral("Diag&nostics")), &QAction::triggered, this, &MonitorWindow::MDiagMenu);
}

void MonitorWindow::MDiagMenu() {
  // A fresh dialog each time: the device, and with it the controller, may have changed.
  diag_ = std::make_unique<DiagnosticsDialog>(s_, *controller_, alerts_,
                                              [this] { apply(kRefreshAxisLabels | kRefreshLayout); }, this);
  diag_->open();
}

void MonitorWindow::buildCentre() {
  auto* centre = new QWidget(this);
  auto* grid = new QGridLayout(centre);
  for (int g = 0; g < 2; ++g) {
    axes_[g] = new AxisLabelWidget(centre);
    graphs_[g] = new LiveGraphWidget(centre);
    baselineBars_[g] = new QScrollBar(Qt::Vertical, centre);
    baselineBars_[g]->setRange(-79, 79);
    pageBars_[g] = new QScrollBar(Qt::Horizontal, centre);
    pageBars_[g]->setEnabled(false);
    timeLabels_[g] = new QLabel(centre);
    const int row = g * 3;
    grid->addWidget(axes_[g], row, 0);
    grid->addWidget(graphs_[g], row, 1);
    grid->addWidget(baselineBars_[g], row, 2);
    grid->addWidget(pageBars_[g], row + 1, 1);
    grid->addWidget(timeLabels_[g], row + 2, 1);
    grid->setRowStretch(row, 1);
    connect(baselineBars_[g], &QScrollBar::valueChanged, this, [this, g](int value) {
      const int channel = g == 0 ? s_.PairStartChannel : s_.PairSecondChannel;
      s_.BaselineOffsets[channel] = static_cast<int16_t>(-value);
    });
    connect(pageBars_[g], &QScrollBar::valueChanged, this, [this, g](int value) { pageTo(g, value); });
    connect(graphs_[g], &LiveGraphWidget::pointerMoved, this,
            [this, g](int column) { showPointer(g, column); });
  }
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
  grid->addLayout(bottom, 6, 0, 1, 3);
  setCentralWidget(centre);
  resize(760, 520);

  connect(areaText_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    std::string text = typed.toStdString();
    apply(EnterSurfaceArea(s_, alerts_, text));
  });
  connect(startButton_, &QPushButton::clicked, this, &MonitorWindow::StartCmd);
}

void MonitorWindow::apply(unsigned refresh) {
  if (refresh & kRefreshChecks) syncChecks();
  if (refresh & (kRefreshLabels | kRefreshSurfaceArea)) syncLabels();
  if (refresh & (kRefreshAxisLabels | kRefreshLayout)) {
    if (!(refresh & kRefreshAxisLabels)) ComputeAxisLabels(s_);
    for (AxisLabelWidget* axis : axes_) axis->setLabels(s_.AxisLabels);
  }
  if (refresh & kRefreshLayout) {
    for (int g = 0; g < 2; ++g) {
      const int channel = g == 0 ? s_.PairStartChannel : s_.PairSecondChannel;
      QSignalBlocker block(baselineBars_[g]);
      baselineBars_[g]->setValue(-s_.BaselineOffsets[channel]);
    }
  }
  if ((refresh & (kRefreshGraphs | kRefreshLayout)) && !controller_->loop().timerEnabled() &&
      pageBars_[0]->isEnabled())
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
  // The window keeps its device while it is open; another model, port, node or channel count
  // chosen meanwhile brings its own device.
  if (!SourceSettings::from(s_).opensSameDeviceAs(deviceSettings_)) openDevice();
  controller_->StartMonitor();
  setWindowTitle(QString::fromStdString(controller_->loop().windowCaption()));
  startButton_->setText(QString::fromStdString(controller_->loop().buttonCaption()));
  startButton_->setEnabled(true);
  for (QScrollBar* bar : pageBars_) bar->setEnabled(false);
  for (int g = 0; g < 2; ++g) {
    graphs_[g]->setColours(s_.DataForeColor, s_.DataBackColor);
    pagePosition_[g] = 0;
  }
  apply(kRefreshChecks | kRefreshLayout | kRefreshAxisLabels);
}

void MonitorWindow::onReadingsQueued() {
  notifyPending_.store(false);
  controller_->onReadingsQueued();
}

void MonitorWindow::StartCmd() {
  if (s_.MonitorOnly == 1 && recordingCheck_ && !recordingCheck_()) return;
  controller_->StartCmd();
  startButton_->setText(QString::fromStdString(controller_->loop().buttonCaption()));
  if (!controller_->loop().timerEnabled()) {
    startButton_->setEnabled(false);  // a new recording starts from Data, Monitor
    showTrial();
  }
}

void MonitorWindow::showTrial() {
  const int last = std::max(0, static_cast<int>(s_.SampleCount) - (kSweepWidth - 1));
  for (int g = 0; g < 2; ++g) {
    QSignalBlocker block(pageBars_[g]);
    pageBars_[g]->setRange(0, last);
    pageBars_[g]->setSingleStep(8);
    pageBars_[g]->setPageStep(kSweepWidth);
    pageBars_[g]->setValue(0);
    pageBars_[g]->setEnabled(s_.SampleCount > 0);
    graphs_[g]->clear();
    graphs_[g]->drawGrid(1, kSweepWidth - 1);
    ApplyPageMove(s_, g, PageMove{0, -kSweepWidth, 0, kSweepWidth - 1}, *graphs_[g]);
    pagePosition_[g] = 0;
  }
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
  const QString path = QFileDialog::getOpenFileName(
      this, QString::fromStdString(std::string(AppTitle) + " File Open"), QString(), kFileFilter);
  if (path.isEmpty() || !files_.open) return;
  controller_->LeaveMonitor();
  if (files_.open(path.toStdString())) {
    apply(kRefreshChecks | kRefreshLabels | kRefreshSurfaceArea | kRefreshLayout | kRefreshAxisLabels);
    showTrial();
  }
}

void MonitorWindow::saveFile() {
  QFileDialog dialog(this, QString::fromStdString(std::string(AppTitle) + " File Save"), QString(),
                     kFileFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("dat"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !files_.save) return;
  files_.save(dialog.selectedFiles().first().toStdString());
}

}  // namespace tidemet
