#include "zdaq/src/sampler.h"

#include <pthread.h>

#include <algorithm>
#include <cstring>

#include "zdaq/identifiers.h"

namespace zdaq {

Sampler::Sampler(DriverHandle& handle, PostedQueue& queue, std::string_view source)
    : handle_(handle),
      queue_(queue),
      dataReady_(source),
      start_(source),
      stop_(source),
      quit_(source),
      ring_(SampleRing::Allocate()) {
  if (!ring_) ThrowOutOfMemory(source);
  try {
    thread_ = std::thread(&Sampler::run, this);
  } catch (const std::system_error& e) {
    ThrowSystemError(e.code().value(), source);
  }
}

Sampler::~Sampler() {
  quit_.set();
  thread_.join();
}

void Sampler::configure(uint32_t points, int64_t intervalUnits) {
  retryDelayMs_.store(static_cast<int>(std::clamp<int64_t>(intervalUnits / 10000, 1, 1000)));
  std::lock_guard lock(mutex_);
  ring_->configure(points);
  acceptedSamples_ = 0;
}

void Sampler::start() {
  notificationPending_.store(false);
  start_.set();
}

void Sampler::stop() { stop_.set(); }

SampleArray Sampler::take(int32_t count) {
  std::lock_guard lock(mutex_);
  const uint32_t k = std::min(static_cast<uint32_t>(std::max(count, 0)), ring_->count());
  // At most the 320 000-byte ring's worth; the copy is made before the ring lets go of it.
  SampleArray samples;
  try {
    samples = SampleArray(static_cast<int32_t>(ring_->points()), static_cast<int32_t>(k));
  } catch (const std::bad_alloc&) {
    ThrowOutOfMemory(kIZzDaqDevice);
  }
  ring_->take(samples.data(), k);
  return samples;
}

uint64_t Sampler::acceptedSamples() const {
  std::lock_guard lock(mutex_);
  return acceptedSamples_;
}

bool Sampler::waitAccepted(uint64_t total, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return accepted_.wait_for(lock, timeout, [&] { return acceptedSamples_ >= total; });
}

void Sampler::run() {
  pthread_setname_np(pthread_self(), "zdaq-sampler");  // findable in top and /proc
  State state = State::Idle;
  for (;;) {
    switch (state) {
      case State::Quit:
        return;
      case State::Idle: {
        if (WaitAny({quit_.descriptor(), start_.descriptor()}) != 1) return;
        start_.reset();
        {
          std::lock_guard lock(mutex_);
          ring_->clear();
        }
        lastRead_ = 0;
        lastReadFailed_ = false;
        notificationPending_.store(false);
        state = State::Ring;
        break;
      }
      case State::Ring:
        state = ring();
        break;
      case State::Armed: {
        if (lastReadFailed_) {
          lastReadFailed_ = false;
          const int which = WaitAny({quit_.descriptor(), stop_.descriptor()}, retryDelayMs_.load());
          if (which == -1 || which == 0) return;
          if (which == 1) {
            stop_.reset();
            state = State::Idle;
            break;
          }
        }
        const int which =
            WaitAny({quit_.descriptor(), stop_.descriptor(), dataReady_.descriptor()});
        if (which < 0 || which == 0) return;
        if (which == 1) {
          stop_.reset();
          state = State::Idle;
          break;
        }
        state = afterRead(handle_.beginRead(regionSlots_, regionBytes_));
        break;
      }
      case State::Reading: {
        const int which =
            WaitAny({quit_.descriptor(), stop_.descriptor(), handle_.readDescriptor()});
        if (which < 0 || which == 0) {
          handle_.cancelRead();
          return;
        }
        if (which == 1) {
          handle_.cancelRead();
          stop_.reset();
          state = State::Idle;
          break;
        }
        state = afterRead(handle_.completeRead());
        break;
      }
    }
  }
}

Sampler::State Sampler::ring() {
  if (quit_.isSet()) return State::Quit;
  if (stop_.isSet()) {
    stop_.reset();
    return State::Idle;
  }
  uint32_t count = 0;
  {
    std::lock_guard lock(mutex_);
    const uint32_t before = ring_->count();
    ring_->commit(lastRead_);
    acceptedSamples_ += ring_->count() - before;
    lastRead_ = 0;
    const SampleRing::Region region = ring_->freeRegion();
    regionSlots_ = region.slots;
    regionBytes_ = ring_->bytes(region);
    sampleBytes_ = ring_->bytesPerSample();
    count = ring_->count();
  }
  // Posted before waiters hear of the samples, so that one who saw them also sees the notice.
  if (count > 0 && !notificationPending_.exchange(true))
    queue_.post(PostedQueue::Message::DataAvailable);
  accepted_.notify_all();
  return State::Armed;
}

Sampler::State Sampler::afterRead(const ReadResult& result) {
  switch (result.status) {
    case ReadResult::Status::Done:
      lastRead_ = result.bytes;
      return State::Ring;
    case ReadResult::Status::Pending:
      return State::Reading;
    case ReadResult::Status::Failed:
      break;
  }
  // One sample of failed-read markers at the start of the region.
  for (size_t offset = 0; offset + 4 <= sampleBytes_; offset += 4)
    std::memcpy(regionBytes_.data() + offset, &kFailedReadMarker, 4);
  lastRead_ = sampleBytes_;
  lastReadFailed_ = true;
  return State::Ring;
}

}  // namespace zdaq
