#include "app/acquisition/monitor_window.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "app/session/monitor_menus.h"
#include "app/ui/trial_export_dialog.h"

namespace tidemet {

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

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* contents = help->addAction(tr("&Contents"));
  contents->setShortcut(QKeySequence(Qt::Key_F1));
  connect(contents, &QAction::triggered, this, &MonitorWindow::helpRequested);
}

}  // namespace tidemet
