#pragma once
// One video capture on GStreamer: the camera (or the demo pattern) scaled to 320 x 240 at a
// steady 30 frames per second, written as Motion-JPEG in an AVI file, with a preview of every
// frame. GStreamer runs it on threads of its own; nothing here waits for the camera.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "app/video/capture_status.h"

typedef struct _GstElement GstElement;

namespace tidemet {

// What the capture reads from.
struct CaptureSource {
  enum class Kind { Camera, DemoPattern } kind = Kind::DemoPattern;
  std::string device;  // the camera's device path; empty for the system's default camera
};

class CapturePipeline {
 public:
  // Called on GStreamer's threads: a preview frame (32-bit BGRx rows), and the end of the
  // capture - `error` empty when the file is complete.
  struct Events {
    std::function<void(const uint8_t* pixels, int width, int height, int stride)> frame;
    std::function<void(const std::string& error)> ended;
  };

  CapturePipeline();
  ~CapturePipeline();
  CapturePipeline(const CapturePipeline&) = delete;
  CapturePipeline& operator=(const CapturePipeline&) = delete;

  // Starts capturing into `file`. Returns why it could not start.
  std::optional<std::string> start(const CaptureSource& source, const std::filesystem::path& file,
                                   Events events);
  // Asks the capture to end: the file is completed and `ended` follows.
  void stop();
  // Ends at once: no event is delivered after this returns. A capture still running is first
  // given up to `grace` to complete its file, so that what was captured stays playable.
  void abort(std::chrono::milliseconds grace = std::chrono::milliseconds(0));
  bool running() const { return pipeline_ != nullptr; }

  // The figures so far; complete once `ended` has been delivered.
  CaptureStatus status() const;

  // The GStreamer description of the pipeline, for a source and a file.
  static std::string Describe(const CaptureSource& source, const std::filesystem::path& file);

 private:
  friend struct PipelineCallbacks;
  void finish(const std::string& error);

  GstElement* pipeline_ = nullptr;
  Events events_;
  std::atomic<bool> ended_{false};
  mutable std::mutex mutex_;  // the figures below
  long frames_ = 0;
  int64_t firstPtsNs_ = -1;
  int64_t lastPtsNs_ = -1;
  long dropped_ = 0;
};

}  // namespace tidemet
