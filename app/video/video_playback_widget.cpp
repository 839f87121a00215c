#include "app/video/video_playback_widget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMediaMetaData>
#include <QMediaPlayer>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoFrame>
#include <QVideoSink>
#include <algorithm>

#include "app/session/rounding.h"
#include "app/video/capture_status.h"
#include "app/video/video_frame_widget.h"

namespace tidemet {

namespace {

// Qt's FFmpeg back end mis-seeks by a frame; its GStreamer back end lands on the frame asked
// for. The choice holds from the first player of the program on; a user's own choice stands.
void PreferGstreamer() {
  if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "gstreamer");
}

}  // namespace

VideoPlaybackWidget::VideoPlaybackWidget(QWidget* parent) : QWidget(parent) {
  PreferGstreamer();
  player_ = new QMediaPlayer(this);
  sink_ = new QVideoSink(this);
  player_->setVideoSink(sink_);
  view_ = new VideoFrameWidget(this);
  view_->setMinimumSize(kCaptureWidth / 2, kCaptureHeight / 2);
  counter_ = new QLabel(this);
  counter_->setObjectName(QStringLiteral("VideoFrameCounter"));
  auto* buttons = new QHBoxLayout();
  auto add = [&](const QString& caption, void (VideoPlaybackWidget::*slot)()) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(caption);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, slot);
    buttons->addWidget(button);
    return button;
  };
  add(QStringLiteral("Prev"), &VideoPlaybackWidget::Prev);
  add(QStringLiteral("Back"), &VideoPlaybackWidget::Back);
  add(QStringLiteral("Step"), &VideoPlaybackWidget::Step);
  play_ = new QPushButton(QStringLiteral("Play"), this);
  play_->setObjectName(QStringLiteral("Play"));
  play_->setAutoDefault(false);
  buttons->addWidget(play_);
  buttons->addWidget(counter_, 1);
  connect(play_, &QPushButton::clicked, this, [this] {
    if (!ready()) return;
    if (player_->playbackState() == QMediaPlayer::PlayingState) {
      player_->pause();
    } else {
      wanted_ = -1;
      player_->play();
    }
  });
  connect(player_, &QMediaPlayer::playbackStateChanged, this, [this] {
    play_->setText(player_->playbackState() == QMediaPlayer::PlayingState ? QStringLiteral("Pause")
                                                                          : QStringLiteral("Play"));
  });
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(view_, 1);
  layout->addLayout(buttons);
  connect(player_, &QMediaPlayer::mediaStatusChanged, this, &VideoPlaybackWidget::onStatus);
  connect(player_, &QMediaPlayer::errorOccurred, this, [this] { fail(player_->errorString()); });
  connect(sink_, &QVideoSink::videoFrameChanged, this, &VideoPlaybackWidget::onFrame);
  showCounter();
}

VideoPlaybackWidget::~VideoPlaybackWidget() {
  // The player's last signals must not reach a widget that is half gone.
  player_->disconnect(this);
  sink_->disconnect(this);
  player_->stop();
}

const QImage& VideoPlaybackWidget::image() const { return view_->image(); }

void VideoPlaybackWidget::open(const std::filesystem::path& file) {
  close();
  file_ = file;
  failed_ = false;
  view_->showText(QString());
  player_->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

void VideoPlaybackWidget::close() {
  file_.clear();
  mapping_.frameCount = 0;
  shown_ = wanted_ = -1;
  player_->stop();
  player_->setSource(QUrl());
  view_->showText(QString());
  showCounter();
}

void VideoPlaybackWidget::showMessage(const QString& text) {
  close();
  view_->showText(text);
}

QString VideoPlaybackWidget::message() const { return view_->text(); }

void VideoPlaybackWidget::setTrial(int16_t sampleCount, float trialSeconds) {
  mapping_.sampleCount = sampleCount;
  mapping_.trialSeconds = trialSeconds;
}

void VideoPlaybackWidget::fail(const QString& why) {
  if (file_.empty() || failed_) return;
  failed_ = true;
  view_->showText(why.isEmpty() ? tr("The video cannot be played.") : why);
  emit failed(view_->text());
}

void VideoPlaybackWidget::onStatus() {
  if (player_->mediaStatus() == QMediaPlayer::InvalidMedia) fail(player_->errorString());
  if (player_->mediaStatus() != QMediaPlayer::LoadedMedia || file_.empty() || ready()) return;
  const double rate = player_->metaData().value(QMediaMetaData::VideoFrameRate).toDouble();
  mapping_.framesPerSecond = rate > 0 ? rate : kCaptureFramesPerSecond;
  mapping_.frameCount =
      static_cast<int>(RoundEven(player_->duration() * mapping_.framesPerSecond / 1000.0));
  if (mapping_.frameCount <= 0) {
    fail(tr("The video holds no frames."));
    return;
  }
  showFrame(0);
  emit opened();
}

void VideoPlaybackWidget::Prev() { Back(); }
void VideoPlaybackWidget::Step() { showFrame((wanted_ >= 0 ? wanted_ : shown_) + 1); }
void VideoPlaybackWidget::Back() { showFrame((wanted_ >= 0 ? wanted_ : shown_) - 1); }

void VideoPlaybackWidget::showFrame(int frame) {
  if (!ready()) return;
  frame = std::clamp(frame, 0, mapping_.frameCount - 1);
  if (frame == shown_ && wanted_ < 0) return;  // already on screen
  // Paused first, then the middle of the frame: the decoder lands on that frame and no other.
  player_->pause();
  wanted_ = frame;
  player_->setPosition(mapping_.seekMs(frame));
}

void VideoPlaybackWidget::showSample(int sample) { showFrame(mapping_.frameFor(sample)); }

void VideoPlaybackWidget::onFrame(const QVideoFrame& frame) {
  if (!frame.isValid() || !ready()) return;
  QImage picture = frame.toImage();
  if (picture.isNull()) return;
  shown_ = wanted_ >= 0 ? wanted_ : mapping_.frameAt(player_->position());
  wanted_ = -1;
  view_->showImage(std::move(picture));
  showCounter();
  emit frameShown(shown_, mapping_.sampleFor(shown_));
}

void VideoPlaybackWidget::showCounter() {
  counter_->setText(ready() && shown_ >= 0
                        ? tr("Frame %1 of %2").arg(shown_ + 1).arg(mapping_.frameCount)
                        : QString());
}

}  // namespace tidemet
