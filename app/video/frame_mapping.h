#pragma once
// Frames of a video against samples of the trial recorded with it. Both start together; a
// frame stands for the time from its start to the next frame's start.

#include <cstdint>

namespace tidemet {

struct FrameMapping {
  double framesPerSecond = 30.0;
  int frameCount = 0;       // frames in the video
  int16_t sampleCount = 0;  // last sample index of the trial
  float trialSeconds = 0;   // the trial's measured duration

  // The frame shown at `ms` into the video, within the video.
  int frameAt(int64_t ms) const;
  // Where to seek so that `frame` is shown: the middle of its time, in milliseconds.
  int64_t seekMs(int frame) const;
  // The sample taken at the middle of `frame`; the nearest end of the trial outside it.
  int sampleFor(int frame) const;
  // The frame shown while `sample` was taken.
  int frameFor(int sample) const;

 private:
  // Samples per second of the trial; 100 (the tick's rate) without a measured time.
  double sampleRate() const;
};

}  // namespace tidemet
