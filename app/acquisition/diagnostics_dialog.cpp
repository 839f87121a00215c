#include "app/acquisition/diagnostics_dialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "app/acquisition/stored_value.h"
#include "app/analysis/recompute_analysis.h"
#include "app/analysis/repetition_analyzer.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/ui/qt_alerts.h"

namespace tidemet {

DiagnosticsDialog::DiagnosticsDialog(Session& session, MonitorController& monitor, Alerts& alerts,
                                     std::function<void()> relayout, QWidget* parent,
                                     VideoFigures video)
    : QDialog(parent),
      s_(session),
      monitor_(monitor),
      alerts_(alerts),
      relayout_(std::move(relayout)),
      video_(video),
      analyzer_(std::make_unique<RepetitionAnalyzer>()),
      cpu_(ReadCpuInfo()) {
  setObjectName(QStringLiteral("Diag"));
  setWindowTitle(QString::fromStdString(std::string(AppTitle) + " Diagnostics"));
  auto* grid = new QGridLayout(this);
  const auto labels = currentLabels();
  int row = 0;
  for (const DiagLabel& label : labels) {
    grid->addWidget(new QLabel(QString::fromStdString(label.caption), this), row, 0);
    auto* value = new QLabel(this);
    value->setObjectName(QString::fromStdString(label.caption));
    grid->addWidget(value, row, 1);
    values_.push_back(value);
    ++row;
  }
  grid->addWidget(new QLabel(QStringLiteral("Channel"), this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Value"), this), 0, 3);
  channelText_ = new QPlainTextEdit(this);
  channelText_->setObjectName(QStringLiteral("DiagChannelText"));
  valueText_ = new QPlainTextEdit(this);
  valueText_->setObjectName(QStringLiteral("DiagValueText"));
  for (QPlainTextEdit* box : {channelText_, valueText_}) {
    box->setReadOnly(true);
    box->setMaximumWidth(80);
  }
  grid->addWidget(channelText_, 1, 2, 8, 1);
  grid->addWidget(valueText_, 1, 3, 8, 1);
  auto* cont = new QPushButton(QStringLiteral("Continue"), this);
  cont->setObjectName(QStringLiteral("DiagContinueCmd"));
  grid->addWidget(cont, row, 2, 1, 2);
  connect(cont, &QPushButton::clicked, this, &DiagnosticsDialog::DiagContinueCmd);

  timer_ = new QTimer(this);
  timer_->setInterval(kPassIntervalMs);
  connect(timer_, &QTimer::timeout, this, &DiagnosticsDialog::pass);
}

DiagnosticsDialog::~DiagnosticsDialog() = default;

std::vector<DiagLabel> DiagnosticsDialog::currentLabels() const {
  return DiagLabels(s_, cpu_, video_, monitor_.latestReadings().deviceResult,
                    monitor_.loop().failedReadings());
}

void DiagnosticsDialog::fillLabels() {
  const auto labels = currentLabels();
  for (size_t i = 0; i < labels.size() && i < values_.size(); ++i) {
    // "Model:" keeps its old text for the models without a name.
    if (labels[i].caption == "Model:" && !DiagModelName(s_)) continue;
    values_[i]->setText(QString::fromStdString(labels[i].value));
  }
  channelText_->setPlainText(AlertDisplayText(DiagChannelText()));
  shownValues_ = DiagValueText(s_);
  valueText_->setPlainText(AlertDisplayText(shownValues_));
}

void DiagnosticsDialog::open() {
  fillLabels();
  lastSeen_ = monitor_.setsSeen();
  warned_ = false;
  // The loop reads the interface whenever the window monitors, whether or not the tick runs:
  // the device's readings reach this thread either way.
  if (s_.MonitorOnly == 1) {
    DiagRunning = 1;
    timer_->start();
  }
  QDialog::open();
}

void DiagnosticsDialog::pass() {
  if (DiagRunning != 1) return;
  ++passes_;
  // Only a reading set that arrived since the last pass is new; without one the values stay
  // as they are (the models that take no reading show the old values).
  if (monitor_.setsSeen() != lastSeen_) {
    lastSeen_ = monitor_.setsSeen();
    const ReadingSet& readings = monitor_.latestReadings();
    DiagStoreReadings(s_, readings, alerts_);
    if (!warned_ && ReadingsOutOfRange(s_, readings)) {
      warned_ = true;  // once per opening: the box would otherwise return every pass
      alerts_.show(TransmissionAlert(s_.ModelCode));
    }
  }
  std::string text = DiagValueText(s_);
  if (text != shownValues_) {
    shownValues_ = std::move(text);
    valueText_->setPlainText(AlertDisplayText(shownValues_));
  }
}

void DiagnosticsDialog::DiagContinueCmd() {
  DiagRunning = 0;
  timer_->stop();
  hide();
  ComputeAxisLabels(s_);
  RecomputeAnalysis(s_, *analyzer_, alerts_);
  if (relayout_) relayout_();
}

}  // namespace tidemet
