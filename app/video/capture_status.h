#pragma once
// What is kept of the last video capture, and the capture button that starts and stops it.

#include <cstdint>
#include <string>

#include "app/acquisition/diagnostics.h"

namespace tidemet {

inline constexpr int kCaptureWidth = 320;
inline constexpr int kCaptureHeight = 240;
inline constexpr int kCaptureFramesPerSecond = 30;
// Frames the capture may hold between the camera and the file before it has to drop one.
inline constexpr long kCaptureBuffers = 10;

struct CaptureStatus {
  int64_t elapsedMs = 0;
  long frames = 0;   // frames written to the file
  long dropped = 0;  // frame times the camera missed (the previous picture stands in)
  long buffers = 0;
};

// Seconds to hundredths: the milliseconds in tens, rounded half to even, then / 100.
double CaptureSeconds(int64_t elapsedMs);

// The diagnostics figures of a capture: all zero when nothing was captured.
VideoFigures CaptureFigures(const CaptureStatus& status);

enum class CaptureState {
  NoCamera,   // nothing to capture from; a recording goes on without video
  Ready,      // "Start Video Capture"
  Capturing,  // "Stop Video Capture"
  Finishing,  // stopped; the file is being completed, the button waits
};

// The one capture button. A press and a recording's start or stop lead to the same steps; the
// caller carries out what a call returns and reports back when the file is complete.
class CaptureButton {
 public:
  enum class Action { None, Start, Stop };

  explicit CaptureButton(bool cameraPresent = false);

  void setCamera(bool present);
  Action press();
  // A recording with video starts and stops the capture together with sampling; a capture
  // started by hand is left running by the recording's start and ended by its stop.
  Action recordingStarted();
  Action recordingStopped();
  // The capture could not start, or its file was completed (`status` kept) or failed.
  void startFailed();
  void finished(const CaptureStatus& status);
  void failed();

  CaptureState state() const { return state_; }
  std::string caption() const;
  bool enabled() const {
    return state_ == CaptureState::Ready || state_ == CaptureState::Capturing;
  }
  // Whether the capture that ran last belongs to a recording (its file pairs with the trial).
  bool withRecording() const { return withRecording_; }
  const CaptureStatus& lastStatus() const { return status_; }

 private:
  CaptureState state_;
  bool withRecording_ = false;
  CaptureStatus status_;
};

}  // namespace tidemet
