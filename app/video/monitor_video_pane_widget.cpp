#include "app/video/monitor_video_pane_widget.h"

#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "app/session/text.h"
#include "app/ui/menu_items.h"
#include "app/video/video_frame_widget.h"
#include "app/video/video_panel_widget.h"
#include "app/video/video_playback_widget.h"

namespace tidemet {

MonitorVideoPaneWidget::MonitorVideoPaneWidget(const Session& session, Alerts& alerts,
                                               Setup setup, QWidget* parent)
    : QWidget(parent), s_(session), alerts_(alerts), setup_(std::move(setup)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  menu_ = new QMenu(tr("&Video"), this);
  layoutActions_ = AddCheckGroup(
      menu_, {tr("&No Video"), tr("Video &Beside the Graphs"), tr("&Large Video")},
      {"NoVideoMenu", "VideoBesideMenu", "LargeVideoMenu"},
      [this](int i) { setVideoLayout(static_cast<VideoLayout>(i)); });
  layoutActions_[0]->setChecked(true);
  hide();
}

std::filesystem::path MonitorVideoPaneWidget::workingFolder() const {
  std::error_code ec;
  return s_.WorkingFolder.empty() ? std::filesystem::current_path(ec)
                                  : std::filesystem::path(s_.WorkingFolder);
}

VideoPanelWidget& MonitorVideoPaneWidget::panel() {
  if (panel_) return *panel_;
  // Made when first wanted: a monitor without video never starts the media libraries.
  panel_ = new VideoPanelWidget(s_, alerts_, workingFolder() / kCaptureFileName,
                                setup_.installFolder, this);
  panel_->setObjectName(QStringLiteral("VideoPanel"));
  layout()->addWidget(panel_);
  connect(panel_, &VideoPanelWidget::captureEnded, this, &MonitorVideoPaneWidget::onCaptureEnded);
  connect(panel_, &VideoPanelWidget::frameShown, this,
          [this](int, int sample) { emit frameShown(sample); });
  return *panel_;
}

CaptureStatus MonitorVideoPaneWidget::lastStatus() const {
  return panel_ ? panel_->button().lastStatus() : CaptureStatus{};
}

void MonitorVideoPaneWidget::setVideoLayout(VideoLayout layout) {
  for (size_t i = 0; i < layoutActions_.size(); ++i)
    layoutActions_[i]->setChecked(static_cast<int>(i) == static_cast<int>(layout));
  if (layout == layout_) return;
  layout_ = layout;
  if (layout == VideoLayout::None) {
    // Leaving the video layout lets the camera go; the trial's files stay as they are.
    if (panel_) panel_->release();
    hide();
    return;
  }
  panel();
  const QSize size = layout == VideoLayout::Large ? QSize(2 * kCaptureWidth, 2 * kCaptureHeight)
                                                  : QSize(kCaptureWidth, kCaptureHeight);
  panel_->captureView().setMinimumSize(size);
  panel_->playback().setMinimumWidth(size.width());
  if (panel_->button().state() != CaptureState::Capturing)
    panel_->setSource(setup_.findCamera(s_));
  show();
  // The graphs keep their width: the window grows by the picture's.
  QWidget* top = window();
  const int wanted = 900 + size.width();
  if (top != this && top->width() < wanted)
    top->resize(wanted, std::max(top->height(), size.height() + 260));
  showHeldVideo();
}

void MonitorVideoPaneWidget::showHeldVideo() {
  if (heldVideo_ && layout_ != VideoLayout::None && !panel_->playback().isOpen())
    panel_->openPlayback(held_.video);
}

void MonitorVideoPaneWidget::showSample(int sample) {
  if (layout_ != VideoLayout::None && panel_->playback().ready())
    panel_->playback().showSample(sample);
}

void MonitorVideoPaneWidget::backToCamera() {
  // The picture shows what a recording will film.
  if (layout_ != VideoLayout::None && panel_->button().state() != CaptureState::Capturing) {
    panel_->closePlayback();
    panel_->setSource(setup_.findCamera(s_));
  }
}

void MonitorVideoPaneWidget::release() {
  if (panel_) panel_->release();
}

void MonitorVideoPaneWidget::recordingStarted() {
  ++trialNumber_;
  held_ = {};
  heldTemporary_ = heldVideo_ = false;
  if (layout_ == VideoLayout::None) return;
  panel_->recordingStarted();
  if (panel_->button().state() == CaptureState::Capturing) captureTrial_ = trialNumber_;
}

bool MonitorVideoPaneWidget::recordingStopped() {
  if (layout_ == VideoLayout::None) return false;
  const bool captured =
      panel_->button().state() == CaptureState::Capturing && panel_->button().withRecording();
  panel_->recordingStopped();
  // The trial is kept at once under its temporary name; the video joins it when its file is
  // complete.
  const TrialPair pair = KeptPair(s_, workingFolder());
  const bool kept = setup_.save && setup_.save(pair.data.string());
  if (kept) {
    held_ = pair;
    heldTemporary_ = true;
  }
  captureTarget_ = captured ? pair.video : std::filesystem::path();
  return kept;
}

void MonitorVideoPaneWidget::onCaptureEnded(bool withRecording, bool ok) {
  const std::filesystem::path capture = workingFolder() / kCaptureFileName;
  if (!ok) return;  // the panel says why
  if (!withRecording || captureTarget_.empty()) {
    panel_->openPlayback(capture);
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
  panel_->openPlayback(kept);
}

void MonitorVideoPaneWidget::trialOpened(const std::string& dataPath) {
  ++trialNumber_;
  heldTemporary_ = false;
  const auto video = FindPairedVideo(dataPath);
  held_ = {dataPath, video.value_or(std::filesystem::path())};
  heldVideo_ = video.has_value();
  if (!heldVideo_) {
    if (panel_) panel_->closePlayback();
    return;
  }
  if (layout_ == VideoLayout::None) setVideoLayout(VideoLayout::Beside);
  panel_->openPlayback(*video);
}

bool MonitorVideoPaneWidget::saveTrial(const std::string& chosen) {
  std::error_code ec;
  if (!heldTemporary_ || !std::filesystem::exists(held_.data, ec)) return setup_.save(chosen);
  const bool withVideo = heldVideo_ && panel_;
  if (withVideo) panel_->closePlayback();  // the file is moved from under the player
  const PairSave moved = MovePairForSave(held_, withVideo, chosen);
  if (moved.videoError)
    alerts_.show(
        Alert{std::string(AppTitle), *moved.videoError, AlertIcon::Exclamation, AlertButtons::Ok});
  const bool saved = setup_.save(moved.saved.data.string());
  if (saved) {
    held_.data = moved.saved.data;
    heldTemporary_ = false;
  }
  if (moved.videoMoved) held_.video = moved.saved.video;
  if (withVideo) panel_->openPlayback(held_.video);
  return saved;
}

}  // namespace tidemet
