#include "zdaq/src/sampler.h"

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

void Sampler::configure(uint32_t points) {
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
  SampleArray samples(static_cast<int32_t>(ring_->points()), static_cast<int32_t>(k));
  ring_->take(samples.Data(), k);
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
        notificationPending_.store(false);
        state = State::Ring;
        break;
      }
      case State::Ring:
        state = ring();
        break;
      case State::Armed: {
        const int which = WaitAny({quit_.descriptor(), stop_.descriptor(), dataReady_.descriptor()});
        if (which < 0 || which == 0) return;
        if (which == 1) {
          stop_.reset();
          state = State::Idle;
          break;
        }
        state = afterRead(handle_.BeginRead(region_.slots, ring_->bytes(region_)));
        break;
      }
      case State::Reading: {
        const int which = WaitAny({quit_.descriptor(), stop_.descriptor(), handle_.ReadDescriptor()});
        if (which < 0 || which == 0) {
          handle_.CancelRead();
          return;
        }
        if (which == 1) {
          handle_.CancelRead();
          stop_.reset();
          state = State::Idle;
          break;
        }
        state = afterRead(handle_.CompleteRead());
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
    region_ = ring_->freeRegion();
    count = ring_->count();
  }
  accepted_.notify_all();
  if (count > 0 && !notificationPending_.exchange(true))
    queue_.post(PostedQueue::Message::DataAvailable);
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
  ring_->markFailedRead(region_);
  lastRead_ = ring_->bytesPerSample();
  return State::Ring;
}

}  // namespace zdaq
