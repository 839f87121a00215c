#pragma once
// The monitor's video area: the capture view with its "Start Video Capture" button, the playback
// of the trial's video beside the graphs, and the reference stroke video ("Show ZOLA").

#include <QWidget>
#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "app/session/alerts.h"
#include "app/session/session.h"
#include "app/video/capture_pipeline.h"
#include "app/video/capture_status.h"

class QLabel;
class QPushButton;
class QStackedWidget;

namespace tidemet {

class ReferenceCurveWidget;
class VideoFrameWidget;
class VideoPlaybackWidget;

// The demo pattern for the demo model, else the first camera the system knows; nothing when
// there is none.
std::optional<CaptureSource> FindCamera(const Session& s);

class VideoPanelWidget : public QWidget {
  Q_OBJECT

 public:
  // `captureFile` is where captures are written; the reference videos are looked up in
  // `installFolder`.
  VideoPanelWidget(const Session& session, Alerts& alerts, std::filesystem::path captureFile,
                   std::filesystem::path installFolder, QWidget* parent = nullptr);
  ~VideoPanelWidget() override;

  // What captures are taken from; nothing when there is no camera.
  void setSource(std::optional<CaptureSource> source);
  const CaptureButton& button() const { return button_; }

  // A recording starts or stops: the capture follows it.
  void recordingStarted();
  void recordingStopped();
  // The window goes: a running capture is ended (its file is completed) and the reference
  // video closes; the trial's video stays for when the window comes back.
  void release();

  // Shows `file` for frame-by-frame playback of the trial held.
  void openPlayback(const std::filesystem::path& file);
  void closePlayback();
  VideoPlaybackWidget& playback() { return *playback_; }
  VideoFrameWidget& captureView() { return *captureView_; }
  bool showingPlayback() const;

  // The reference stroke video of the session's stroke, with its force curve beside it.
  void ZOLA();
  VideoPlaybackWidget& reference() { return *reference_; }
  ReferenceCurveWidget& referenceCurve() { return *referenceCurve_; }
  bool showingReference() const;

 signals:
  // A capture ended: its file is complete (`ok`) or not, and whether it ran with a recording.
  void captureEnded(bool withRecording, bool ok);
  // Playback shows `frame`, taken while `sample` of the trial was.
  void frameShown(int frame, int sample);

 private:
  void VideoCaptureCmd();
  void apply(CaptureButton::Action action);
  void onEnded(const QString& error);
  void refresh();
  void hideReference();

  const Session& s_;
  Alerts& alerts_;
  std::filesystem::path captureFile_;
  std::filesystem::path installFolder_;
  std::optional<CaptureSource> source_;
  CaptureButton button_;
  CapturePipeline pipeline_;
  std::atomic<bool> framePending_{false};
  uint64_t captureNumber_ = 0;
  std::set<std::string> reportedMissing_;

  QStackedWidget* stack_ = nullptr;
  VideoFrameWidget* captureView_ = nullptr;
  VideoPlaybackWidget* playback_ = nullptr;
  QWidget* referenceRow_ = nullptr;
  VideoPlaybackWidget* reference_ = nullptr;
  ReferenceCurveWidget* referenceCurve_ = nullptr;
  QPushButton* captureButton_ = nullptr;
  QPushButton* zolaButton_ = nullptr;
  QPushButton* liveButton_ = nullptr;
  QLabel* title_ = nullptr;
};

}  // namespace tidemet
