#include "app/video/frame_mapping.h"

#include <algorithm>
#include <cmath>

#include "app/session/rounding.h"

namespace tidemet {

int FrameMapping::frameAt(int64_t ms) const {
  if (frameCount <= 0 || framesPerSecond <= 0) return 0;
  const double frame = Floor(static_cast<double>(ms) * framesPerSecond / 1000.0);
  return static_cast<int>(std::clamp(frame, 0.0, static_cast<double>(frameCount - 1)));
}

int64_t FrameMapping::seekMs(int frame) const {
  if (framesPerSecond <= 0) return 0;
  return static_cast<int64_t>(Floor((frame + 0.5) * 1000.0 / framesPerSecond));
}

double FrameMapping::sampleRate() const {
  return trialSeconds > 0 && sampleCount > 0 ? sampleCount / static_cast<double>(trialSeconds)
                                             : 100.0;
}

int FrameMapping::sampleFor(int frame) const {
  if (framesPerSecond <= 0 || sampleCount <= 0) return 0;
  const double seconds = (frame + 0.5) / framesPerSecond;
  const double sample = Floor(seconds * sampleRate());
  return static_cast<int>(std::clamp(sample, 0.0, static_cast<double>(sampleCount)));
}

int FrameMapping::frameFor(int sample) const {
  const double ms = (sample + 0.5) / sampleRate() * 1000.0;
  return frameAt(static_cast<int64_t>(Floor(ms)));
}

}  // namespace tidemet
