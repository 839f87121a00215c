// StartSampling, StopSampling and GetSamples: the client's side of the sampling thread.
#include <vector>

#include "zdaq/device.h"
#include "zdaq/driver_abi.h"
#include "zdaq/src/device_impl.h"
#include "zdaq/src/device_internals.h"
#include "zdaq/src/setup_request.h"

namespace zdaq {

void ZzDaqDevice::StartSampling() {
  auto& d = *impl_;
  std::lock_guard lock(d.mutex);
  d.requireHandle(kIZzDaqDevice);
  if (d.sampling) ThrowError(kSamplingStarted, kTextSamplingStarted, kIZzDaqDevice);

  std::vector<std::shared_ptr<ZzIoPoint>> enabled;
  const auto& points = *d.tree.points;
  for (int32_t i = 1; i <= points.Count(); ++i) {
    auto point = points.Item(i);
    if (point->SamplingEnabled() != 0) enabled.push_back(std::move(point));
  }
  if (enabled.empty()) ThrowError(kNoIoPoints, kTextNoIoPoints, kIZzDaqDevice);

  SetupRequest request;
  request.dataReadyEvent = d.sampler->dataReadyDescriptor();
  request.interval = d.intervalUnits;
  for (const auto& point : enabled)
    request.entries.push_back(
        {point->ID(), d.controlGet(ZDAQ_CTL_GET_POINT_CONFIGURATION, point->ID(), kIZzDaqDevice)});
  d.control(ZDAQ_CTL_SETUP_SAMPLING, EncodeSetupRequest(request), {}, kIZzDaqDevice);

  const auto n = static_cast<uint32_t>(enabled.size());
  d.sampler->configure(n, d.intervalUnits);
  d.control(ZDAQ_CTL_START_SAMPLING, {}, {}, kIZzDaqDevice);
  d.points = n;
  d.sampling = true;
  d.sampler->start();
}

void ZzDaqDevice::StopSampling() {
  auto& d = *impl_;
  std::lock_guard lock(d.mutex);
  d.requireHandle(kIZzDaqDevice);
  d.control(ZDAQ_CTL_STOP_SAMPLING, {}, {}, kIZzDaqDevice);
  // A stop signalled to an idle thread would stay set and end the next start at once.
  if (d.sampling) d.sampler->stop();
  d.sampling = false;
  // Notices of the run that ended would send the client to GetSamples, which now fails.
  d.queue.drop(PostedQueue::Message::DataAvailable);
}

SampleArray ZzDaqDevice::GetSamples(int32_t count) {
  auto& d = *impl_;
  std::lock_guard lock(d.mutex);
  d.requireHandle(kIZzDaqDevice);
  if (!d.sampling) ThrowError(kSamplingNotStarted, kTextSamplingNotStarted, kIZzDaqDevice);
  if (d.points == 0) ThrowError(kNoIoPoints, kTextNoIoPoints, kIZzDaqDevice);
  // A negative count would size the array negatively.
  if (count < 0) ThrowError(kInvalidArgument, kTextParameterInvalid, kIZzDaqDevice);
  d.sampler->clearNotificationPending();
  return d.sampler->take(count);
}

uint64_t DeviceInternals::samplesAccepted(const ZzDaqDevice& device) {
  const auto& d = *device.impl_;
  std::lock_guard lock(d.mutex);
  return d.sampler ? d.sampler->acceptedSamples() : 0;
}

bool DeviceInternals::waitSamplesAccepted(const ZzDaqDevice& device, uint64_t total,
                                          std::chrono::milliseconds timeout) {
  const auto& d = *device.impl_;
  std::lock_guard lock(d.mutex);  // the sampler stays while the wait lasts
  return d.sampler && d.sampler->waitAccepted(total, timeout);
}

}  // namespace zdaq
