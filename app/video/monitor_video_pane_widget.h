#pragma once
// The monitor's video: the layout that shows it, the capture beside a recording, the trial's
// pair of files (kept, saved, reopened) and the playback that the graphs follow.

#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/session/alerts.h"
#include "app/session/session.h"
#include "app/video/capture_pipeline.h"
#include "app/video/capture_status.h"
#include "app/video/video_files.h"

class QAction;
class QMenu;

namespace tidemet {

class VideoPanelWidget;

// The video beside the graphs: none, 320 x 240 or 640 x 480.
enum class VideoLayout { None, Beside, Large };

class MonitorVideoPaneWidget : public QWidget {
  Q_OBJECT

 public:
  struct Setup {
    // The camera captures are taken from; nothing without one.
    std::function<std::optional<CaptureSource>(const Session&)> findCamera;
    // Where the reference stroke videos are looked up.
    std::filesystem::path installFolder;
    // Writes the trial's data file; false when it was not written (the reason has been shown).
    std::function<bool(const std::string& path)> save;
  };

  MonitorVideoPaneWidget(const Session& session, Alerts& alerts, Setup setup,
                         QWidget* parent = nullptr);

  // The Video menu, for the window's menu bar.
  QMenu* menu() const { return menu_; }
  void setVideoLayout(VideoLayout layout);
  VideoLayout videoLayout() const { return layout_; }
  // The capture and playback area; made when first asked for.
  VideoPanelWidget& panel();
  // The trial held and its video file, when it has one.
  const TrialPair& heldPair() const { return held_; }
  bool heldVideo() const { return heldVideo_; }
  CaptureStatus lastStatus() const;

  // A recording starts or stops; a stop keeps the trial under its temporary name and returns
  // whether it was written.
  void recordingStarted();
  bool recordingStopped();
  // The monitor runs again: the picture shows the camera.
  void backToCamera();
  // A trial file was opened: its video, when one sits beside it, is offered for playback.
  void trialOpened(const std::string& dataPath);
  // File Save of the trial held to `chosen`, with its video when it has one.
  bool saveTrial(const std::string& chosen);
  // The held trial is on screen: its video shows beside it.
  void showHeldVideo();
  // Shows the frame taken while `sample` was (a click in the graph).
  void showSample(int sample);
  void release();

 signals:
  // Playback shows the frame taken while `sample` was.
  void frameShown(int sample);

 private:
  void onCaptureEnded(bool withRecording, bool ok);
  std::filesystem::path workingFolder() const;

  const Session& s_;
  Alerts& alerts_;
  Setup setup_;
  QMenu* menu_ = nullptr;
  std::vector<QAction*> layoutActions_;
  VideoPanelWidget* panel_ = nullptr;
  VideoLayout layout_ = VideoLayout::None;
  // The trial held: kept under a temporary name after a recording in the video layout, or
  // opened from a file; whether its video exists; which recording a running capture belongs to.
  TrialPair held_;
  bool heldTemporary_ = false;
  bool heldVideo_ = false;
  uint64_t trialNumber_ = 0;
  uint64_t captureTrial_ = 0;
  std::filesystem::path captureTarget_;
};

}  // namespace tidemet
