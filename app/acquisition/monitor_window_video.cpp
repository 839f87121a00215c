// The monitor's video: the capture beside a recording, the trial's pair of files, and playback
// that the graphs follow frame by frame.
#include <QAction>
#include <QGridLayout>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <algorithm>

#include "app/acquisition/graph_canvas.h"
#include "app/acquisition/live_graph_widget.h"
#include "app/acquisition/monitor_status.h"
#include "app/acquisition/monitor_window.h"
#include "app/session/text.h"
#include "app/video/video_frame_widget.h"
#include "app/video/video_playback_widget.h"

namespace tidemet {

std::filesystem::path MonitorWindow::workingFolder() const {
  std::error_code ec;
  return s_.WorkingFolder.empty() ? std::filesystem::current_path(ec)
                                  : std::filesystem::path(s_.WorkingFolder);
}

void MonitorWindow::buildVideo() {
  QMenu* menu = new QMenu(tr("&Video"), this);
  // Before Help, which stays last.
  const QList<QAction*> bar = menuBar()->actions();
  menuBar()->insertMenu(bar.isEmpty() ? nullptr : bar.last(), menu);
  const char* captions[] = {"&No Video", "Video &Beside the Graphs", "&Large Video"};
  for (int i = 0; i < 3; ++i) {
    QAction* action = menu->addAction(QString::fromUtf8(captions[i]));
    action->setCheckable(true);
    connect(action, &QAction::triggered, this,
            [this, i] { setVideoLayout(static_cast<VideoLayout>(i)); });
    videoLayoutActions_.push_back(action);
  }
  videoLayoutActions_[0]->setChecked(true);
}

VideoPanelWidget& MonitorWindow::video() {
  if (video_) return *video_;
  // Made when first wanted: a monitor without video never starts the media libraries.
  video_ = new VideoPanelWidget(s_, alerts_, workingFolder() / kCaptureFileName,
                                seams_.installFolder, this);
  video_->setObjectName(QStringLiteral("VideoPanel"));
  video_->hide();
  if (auto* grid = qobject_cast<QGridLayout*>(centralWidget()->layout()))
    grid->addWidget(video_, 1, 3, 6, 1);
  connect(video_, &VideoPanelWidget::captureEnded, this, &MonitorWindow::onCaptureEnded);
  connect(video_, &VideoPanelWidget::frameShown, this,
          [this](int, int sample) { onVideoFrame(sample); });
  for (int g = 0; g < 2; ++g) {
    connect(graphs_[g], &LiveGraphWidget::clicked, this, [this, g](int column) {
      if (videoLayout_ != VideoLayout::None && video_->playback().ready() &&
          pageBars_[g]->isEnabled())
        video_->playback().showSample(pagePosition_[g] + column);
    });
  }
  return *video_;
}

void MonitorWindow::setVideoLayout(VideoLayout layout) {
  for (size_t i = 0; i < videoLayoutActions_.size(); ++i)
    videoLayoutActions_[i]->setChecked(static_cast<int>(i) == static_cast<int>(layout));
  if (layout == videoLayout_) return;
  videoLayout_ = layout;
  if (layout == VideoLayout::None) {
    // Leaving the video layout lets the camera go; the trial's files stay as they are.
    if (video_) {
      video_->release();
      video_->hide();
    }
    return;
  }
  video();
  const QSize size = layout == VideoLayout::Large ? QSize(2 * kCaptureWidth, 2 * kCaptureHeight)
                                                  : QSize(kCaptureWidth, kCaptureHeight);
  video_->captureView().setMinimumSize(size);
  video_->playback().setMinimumWidth(size.width());
  if (video_->button().state() != CaptureState::Capturing) video_->setSource(seams_.findCamera(s_));
  video_->show();
  // The graphs keep their width: the window grows by the picture's.
  const int wanted = 900 + size.width();
  if (width() < wanted) resize(wanted, std::max(height(), size.height() + 260));
  showHeldVideo();
}

void MonitorWindow::showHeldVideo() {
  if (heldVideo_ && videoLayout_ != VideoLayout::None && !video_->playback().isOpen())
    video_->openPlayback(held_.video);
}

void MonitorWindow::videoRecordingStarted() {
  ++trialNumber_;
  held_ = {};
  heldTemporary_ = heldVideo_ = false;
  if (videoLayout_ == VideoLayout::None) return;
  video_->recordingStarted();
  if (video_->button().state() == CaptureState::Capturing) captureTrial_ = trialNumber_;
}

void MonitorWindow::videoRecordingStopped() {
  if (videoLayout_ == VideoLayout::None) return;
  const bool captured =
      video_->button().state() == CaptureState::Capturing && video_->button().withRecording();
  video_->recordingStopped();
  // The trial is kept at once under its temporary name; the video joins it when its file is
  // complete.
  const TrialPair pair = KeptPair(s_, workingFolder());
  if (files_.save && files_.save(pair.data.string())) {
    held_ = pair;
    heldTemporary_ = true;
    setWindowTitle(QString::fromStdString(MonitorTitle(s_)));
  }
  captureTarget_ = captured ? pair.video : std::filesystem::path();
}

void MonitorWindow::onCaptureEnded(bool withRecording, bool ok) {
  const std::filesystem::path capture = workingFolder() / kCaptureFileName;
  if (!ok) return;  // the panel says why
  if (!withRecording || captureTarget_.empty()) {
    video_->openPlayback(capture);
    return;
  }
  const std::filesystem::path target = std::exchange(captureTarget_, {});
  std::filesystem::path kept = target;
  if (auto why = MoveVideoFile(capture, target)) {
    alerts_.show(Alert{std::string(AppTitle), VideoNotMovedText(capture, target, *why),
                       AlertIcon::Exclamation, AlertButtons::Ok});
    kept = capture;
  }
  // A newer recording or an opened file has replaced the trial the video belongs to.
  if (captureTrial_ != trialNumber_ || !heldTemporary_) return;
  held_.video = kept;
  heldVideo_ = true;
  video_->openPlayback(kept);
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

void MonitorWindow::offerPairedVideo(const std::string& dataPath) {
  ++trialNumber_;
  heldTemporary_ = false;
  const auto video = FindPairedVideo(dataPath);
  held_ = {dataPath, video.value_or(std::filesystem::path())};
  heldVideo_ = video.has_value();
  for (LiveGraphWidget* graph : graphs_) graph->setMarker(-1);
  if (!heldVideo_) {
    if (video_) video_->closePlayback();
    return;
  }
  if (videoLayout_ == VideoLayout::None) setVideoLayout(VideoLayout::Beside);
  video_->openPlayback(*video);
}

bool MonitorWindow::savePair(const std::string& chosen) {
  std::error_code ec;
  if (!heldTemporary_ || !std::filesystem::exists(held_.data, ec)) return files_.save(chosen);
  const bool withVideo = heldVideo_ && video_;
  if (withVideo) video_->closePlayback();  // the file is moved from under the player
  const PairSave moved = MovePairForSave(held_, withVideo, chosen);
  if (moved.videoError)
    alerts_.show(
        Alert{std::string(AppTitle), *moved.videoError, AlertIcon::Exclamation, AlertButtons::Ok});
  const bool saved = files_.save(moved.saved.data.string());
  if (saved) {
    held_.data = moved.saved.data;
    heldTemporary_ = false;
  }
  if (moved.videoMoved) held_.video = moved.saved.video;
  if (withVideo) video_->openPlayback(held_.video);
  return saved;
}

}  // namespace tidemet
