#include "app/acquisition/demo_source.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tidemet {

DemoSource::DemoSource(const Clock& clock, int64_t startNs, DemoParameters parameters)
    : clock_(clock), startNs_(startNs), p_(parameters), state_(parameters.seed ? parameters.seed : 1) {
  p_.channels = std::clamp(p_.channels, 1, kMaxChannels);
  p_.pushShare = std::clamp(p_.pushShare, 0.1, 0.9);
  p_.strokeRate = std::max(p_.strokeRate, 1.0);
}

double DemoForceCounts(const DemoParameters& p, int channel, double seconds) {
  const double active = seconds - p.restSeconds;
  if (active < 0) return 0.0;
  const double period = 60.0 / p.strokeRate;
  // Left and right alternate, as in freestyle or flutter kick.
  double phase = std::fmod(active / period + (channel % 2 ? 0.5 : 0.0), 1.0);
  if (channel % 2 && active < period / 2) return 0.0;  // the second arm starts half a stroke later
  const double peak = p.peakCounts * (channel % 2 ? 1.0 - p.asymmetry : 1.0);
  if (phase < p.pushShare) return peak * std::sin(std::numbers::pi * phase / p.pushShare);
  return -p.dipCounts * std::sin(std::numbers::pi * (phase - p.pushShare) / (1.0 - p.pushShare));
}

double DemoSource::forceCounts(int channel, double seconds) const {
  return DemoForceCounts(p_, channel, seconds);
}

double DemoSource::noise() {
  // xorshift32: cheap, allocation-free and repeatable for a seed.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return (static_cast<double>(state_) / 4294967295.0 - 0.5) * p_.noiseCounts;
}

void DemoSource::takeReadings(ReadingSet& out) {
  const double seconds = static_cast<double>(clock_.nowNs() - startNs_) / 1e9;
  for (int c = 0; c < p_.channels; ++c)
    out.set(c, kDemoBaselineReading + forceCounts(c, seconds) + noise());
}

}  // namespace tidemet
