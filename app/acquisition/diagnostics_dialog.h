#pragma once
// The diagnostics dialog (Diag): the acquisition settings, the last recording's timing and the
// processor, and, while the monitor runs, the latest value of every channel until Continue.
// Its reading loop is a timer on the window's thread: each pass stores the newest reading set
// the monitor has processed into TrialData(0..7) and shows them.

#include <QDialog>
#include <functional>
#include <memory>
#include <vector>

#include "app/acquisition/diagnostics.h"
#include "app/acquisition/monitor_controller.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

class QLabel;
class QPlainTextEdit;
class QTimer;

namespace tidemet {

class RepetitionAnalyzer;

class DiagnosticsDialog : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPassIntervalMs = 20;

  // `relayout` lays the monitor's graphs out again after Continue.
  DiagnosticsDialog(Session& session, MonitorController& monitor, Alerts& alerts,
                    std::function<void()> relayout, QWidget* parent = nullptr,
                    VideoFigures video = {});
  ~DiagnosticsDialog() override;

  // Fills the labels and, while the monitor only monitors, starts the reading loop.
  void open() override;
  void DiagContinueCmd();

  bool running() const { return DiagRunning == 1; }
  uint64_t passes() const { return passes_; }

 private:
  void pass();
  void fillLabels();
  std::vector<DiagLabel> currentLabels() const;

  Session& s_;
  MonitorController& monitor_;
  Alerts& alerts_;
  std::function<void()> relayout_;
  VideoFigures video_;
  std::unique_ptr<RepetitionAnalyzer> analyzer_;
  CpuInfo cpu_;
  int16_t DiagRunning = 0;
  uint64_t lastSeen_ = 0;
  uint64_t passes_ = 0;
  bool warned_ = false;
  std::string shownValues_;
  std::vector<QLabel*> values_;
  QPlainTextEdit* channelText_ = nullptr;
  QPlainTextEdit* valueText_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace tidemet
