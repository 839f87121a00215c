#include "app/video/video_panel_widget.h"

#include <QCameraDevice>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QMediaDevices>
#include <QPushButton>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/session/text.h"
#include "app/video/reference_curve_widget.h"
#include "app/video/video_files.h"
#include "app/video/video_frame_widget.h"
#include "app/video/video_playback_widget.h"

namespace tidemet {
namespace {

constexpr int kFinishLimitMs = 15000;

const char* const kNoCameraText = "No camera was found. Recordings go on without video.";

}  // namespace

std::optional<CaptureSource> FindCamera(const Session& s) {
  if (s.ModelCode == 0 && s.DemoMode == 1)
    return CaptureSource{CaptureSource::Kind::DemoPattern, {}};
  const QList<QCameraDevice> cameras = QMediaDevices::videoInputs();
  if (cameras.isEmpty()) return std::nullopt;
  // Qt names a Video4Linux camera by its device path.
  const QString id = QString::fromUtf8(cameras.first().id());
  return CaptureSource{CaptureSource::Kind::Camera,
                       id.startsWith(QLatin1String("/dev/")) ? id.toStdString() : std::string()};
}

VideoPanelWidget::VideoPanelWidget(const Session& session, Alerts& alerts,
                                   std::filesystem::path captureFile,
                                   std::filesystem::path installFolder, QWidget* parent)
    : QWidget(parent),
      s_(session),
      alerts_(alerts),
      captureFile_(std::move(captureFile)),
      installFolder_(std::move(installFolder)) {
  stack_ = new QStackedWidget(this);
  captureView_ = new VideoFrameWidget(stack_);
  captureView_->setMinimumSize(kCaptureWidth / 2, kCaptureHeight / 2);
  playback_ = new VideoPlaybackWidget(stack_);
  stack_->addWidget(captureView_);
  stack_->addWidget(playback_);
  referenceRow_ = new QWidget(this);
  reference_ = new VideoPlaybackWidget(referenceRow_);
  referenceCurve_ = new ReferenceCurveWidget(referenceRow_);
  auto* referenceLayout = new QHBoxLayout(referenceRow_);
  referenceLayout->setContentsMargins(0, 0, 0, 0);
  referenceLayout->addWidget(reference_, 1);
  referenceLayout->addWidget(referenceCurve_, 1);
  referenceRow_->hide();
  title_ = new QLabel(this);
  title_->setObjectName(QStringLiteral("VideoTitle"));
  captureButton_ = new QPushButton(this);
  captureButton_->setObjectName(QStringLiteral("VideoCaptureCmd"));
  captureButton_->setAutoDefault(false);
  liveButton_ = new QPushButton(tr("Camera"), this);
  liveButton_->setObjectName(QStringLiteral("VideoLiveCmd"));
  liveButton_->setAutoDefault(false);
  zolaButton_ = new QPushButton(QStringLiteral("Show ZOLA"), this);
  zolaButton_->setObjectName(QStringLiteral("ZOLA"));
  zolaButton_->setAutoDefault(false);
  auto* buttons = new QHBoxLayout();
  buttons->addWidget(captureButton_);
  buttons->addWidget(liveButton_);
  buttons->addStretch(1);
  buttons->addWidget(zolaButton_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(title_);
  layout->addWidget(stack_, 1);
  layout->addLayout(buttons);
  layout->addWidget(referenceRow_, 1);

  connect(captureButton_, &QPushButton::clicked, this, &VideoPanelWidget::VideoCaptureCmd);
  connect(liveButton_, &QPushButton::clicked, this, [this] {
    stack_->setCurrentWidget(captureView_);
    refresh();
  });
  connect(zolaButton_, &QPushButton::clicked, this, &VideoPanelWidget::ZOLA);
  connect(playback_, &VideoPlaybackWidget::frameShown, this, &VideoPanelWidget::frameShown);
  setSource(std::nullopt);
}

// The program is ending: a capture still running gets a moment to complete its file.
VideoPanelWidget::~VideoPanelWidget() { pipeline_.abort(std::chrono::seconds(3)); }

void VideoPanelWidget::setSource(std::optional<CaptureSource> source) {
  source_ = std::move(source);
  button_.setCamera(source_.has_value());
  if (button_.state() == CaptureState::NoCamera)
    captureView_->showText(tr(kNoCameraText));
  else if (!pipeline_.running())
    captureView_->showText(source_->kind == CaptureSource::Kind::DemoPattern
                               ? tr("Demo camera: a test picture stands in for the camera.")
                               : tr("Camera ready."));
  refresh();
}

void VideoPanelWidget::refresh() {
  captureButton_->setText(QString::fromStdString(button_.caption()));
  captureButton_->setEnabled(button_.enabled());
  liveButton_->setVisible(showingPlayback());
  title_->setText(showingPlayback()
                      ? QString::fromStdString(PlaybackTitle(AppTitle, playback_->file()))
                      : QString());
}

bool VideoPanelWidget::showingPlayback() const { return stack_->currentWidget() == playback_; }

void VideoPanelWidget::VideoCaptureCmd() { apply(button_.press()); }
void VideoPanelWidget::recordingStarted() { apply(button_.recordingStarted()); }
void VideoPanelWidget::recordingStopped() { apply(button_.recordingStopped()); }

void VideoPanelWidget::apply(CaptureButton::Action action) {
  if (action == CaptureButton::Action::Start) {
    // The file being written must not be the one on screen.
    playback_->close();
    stack_->setCurrentWidget(captureView_);
    CapturePipeline::Events events;
    events.frame = [this](const uint8_t* pixels, int width, int height, int stride) {
      // One picture waits for the window at most; a busy window skips pictures, never blocks.
      if (framePending_.exchange(true)) return;
      QImage copy = QImage(pixels, width, height, stride, QImage::Format_RGB32).copy();
      QMetaObject::invokeMethod(
          this,
          [this, copy = std::move(copy)]() mutable {
            framePending_.store(false);
            if (pipeline_.running()) captureView_->showImage(std::move(copy));
          },
          Qt::QueuedConnection);
    };
    events.ended = [this](const std::string& error) {
      QMetaObject::invokeMethod(
          this, [this, error = QString::fromStdString(error)] { onEnded(error); },
          Qt::QueuedConnection);
    };
    if (auto error = pipeline_.start(*source_, captureFile_, std::move(events))) {
      button_.startFailed();
      captureView_->showText(QString::fromStdString(*error));
      alerts_.show(Alert{std::string(AppTitle), *error, AlertIcon::Exclamation, AlertButtons::Ok});
    }
  } else if (action == CaptureButton::Action::Stop) {
    pipeline_.stop();
    // A camera that hangs must not hold the button for good: the file is given up after a while.
    QTimer::singleShot(kFinishLimitMs, this, [this, capture = ++captureNumber_] {
      if (capture == captureNumber_ && button_.state() == CaptureState::Finishing)
        onEnded(tr("The camera did not finish the video in time."));
    });
  }
  refresh();
}

void VideoPanelWidget::onEnded(const QString& error) {
  if (!pipeline_.running()) return;
  const CaptureStatus status = pipeline_.status();
  const bool withRecording = button_.withRecording();
  pipeline_.abort();
  const bool ok = error.isEmpty() && status.frames > 0;
  if (ok) {
    button_.finished(status);
    captureView_->showText(QString());
  } else {
    button_.failed();
    const QString why = error.isEmpty() ? tr("The camera delivered no picture.") : error;
    captureView_->showText(tr("The video capture failed: %1").arg(why));
  }
  refresh();
  emit captureEnded(withRecording, ok);
}

void VideoPanelWidget::release() {
  // A capture is ended, not cut off: its file is completed and reported as usual.
  if (button_.state() == CaptureState::Capturing) apply(button_.press());
  hideReference();
}

bool VideoPanelWidget::showingReference() const { return !referenceRow_->isHidden(); }

void VideoPanelWidget::hideReference() {
  zolaButton_->setText(QStringLiteral("Show ZOLA"));
  reference_->close();
  referenceRow_->hide();
}

void VideoPanelWidget::openPlayback(const std::filesystem::path& file) {
  playback_->setTrial(s_.SampleCount, s_.TrialSeconds);
  playback_->open(file);
  stack_->setCurrentWidget(playback_);
  refresh();
}

void VideoPanelWidget::closePlayback() {
  playback_->close();
  stack_->setCurrentWidget(captureView_);
  refresh();
}

void VideoPanelWidget::ZOLA() {
  if (showingReference()) {
    hideReference();
    return;
  }
  const std::string name = ReferenceVideoName(s_.SwimFlag);
  if (name.empty()) {
    alerts_.show(Alert{std::string(AppTitle),
                       "A reference video exists only for a swimming stroke.",
                       AlertIcon::Exclamation, AlertButtons::Ok});
    return;
  }
  const std::filesystem::path file = installFolder_ / name;
  zolaButton_->setText(QStringLiteral("Hide ZOLA"));
  referenceCurve_->setCurve(ReferenceCurveFor(s_.SwimFlag));
  referenceRow_->show();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) {
    // The curve is worth showing without the film.
    reference_->showMessage(
        tr("The reference video %1 was not found.").arg(QString::fromStdString(name)));
    // Told once per file: the toggle is pressed often beside the water.
    if (reportedMissing_.insert(file.string()).second)
      alerts_.show(Alert{std::string(AppTitle),
                         "The reference video " + file.string() + " was not found." +
                             std::string(CrLf) + "Install it there to show it.",
                         AlertIcon::Exclamation, AlertButtons::Ok});
    return;
  }
  reference_->open(file);
}

}  // namespace tidemet
