#include "app/video/capture_status.h"

#include "app/session/rounding.h"

namespace tidemet {

double CaptureSeconds(int64_t elapsedMs) {
  return RoundEven(static_cast<double>(elapsedMs) / 10.0) / 100.0;
}

VideoFigures CaptureFigures(const CaptureStatus& status) {
  VideoFigures f;
  const double seconds = CaptureSeconds(status.elapsedMs);
  f.videoTime = static_cast<float>(seconds);
  f.videoRate = seconds > 0 ? static_cast<float>(RoundHundredths(status.frames / seconds)) : 0.0f;
  f.videoFrames = status.frames;
  f.droppedFrames = status.dropped;
  f.lastFrame = status.frames > 0 ? status.frames - 1 : 0;
  f.videoBuffers = status.buffers;
  return f;
}

CaptureButton::CaptureButton(bool cameraPresent)
    : state_(cameraPresent ? CaptureState::Ready : CaptureState::NoCamera) {}

void CaptureButton::setCamera(bool present) {
  // A camera that comes or goes never cuts a capture short: its end is reported as usual.
  if (state_ == CaptureState::NoCamera && present) state_ = CaptureState::Ready;
  if (state_ == CaptureState::Ready && !present) state_ = CaptureState::NoCamera;
}

CaptureButton::Action CaptureButton::press() {
  switch (state_) {
    case CaptureState::Ready:
      state_ = CaptureState::Capturing;
      withRecording_ = false;
      return Action::Start;
    case CaptureState::Capturing:
      state_ = CaptureState::Finishing;
      return Action::Stop;
    default:
      return Action::None;
  }
}

CaptureButton::Action CaptureButton::recordingStarted() {
  if (state_ == CaptureState::Capturing) {
    withRecording_ = true;
    return Action::None;
  }
  if (state_ != CaptureState::Ready) return Action::None;
  const Action action = press();
  withRecording_ = true;
  return action;
}

CaptureButton::Action CaptureButton::recordingStopped() {
  if (state_ != CaptureState::Capturing || !withRecording_) return Action::None;
  return press();
}

void CaptureButton::startFailed() {
  if (state_ == CaptureState::Capturing) state_ = CaptureState::Ready;
  withRecording_ = false;
}

void CaptureButton::finished(const CaptureStatus& status) {
  status_ = status;
  state_ = CaptureState::Ready;
}

void CaptureButton::failed() {
  status_ = {};
  withRecording_ = false;
  state_ = CaptureState::Ready;
}

std::string CaptureButton::caption() const {
  return state_ == CaptureState::Capturing || state_ == CaptureState::Finishing
             ? "Stop Video Capture"
             : "Start Video Capture";
}

}  // namespace tidemet
