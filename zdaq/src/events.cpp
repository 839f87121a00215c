#include "zdaq/src/events.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>

namespace zdaq {

ManualEvent::ManualEvent(std::string_view source) : fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  if (fd_ < 0) ThrowSystemError(errno, source);
}

ManualEvent::~ManualEvent() { close(fd_); }

void ManualEvent::set() {
  const uint64_t one = 1;
  // Fails only when the counter would overflow, which leaves it set anyway.
  [[maybe_unused]] ssize_t n = write(fd_, &one, sizeof one);
}

void ManualEvent::reset() {
  uint64_t value = 0;
  [[maybe_unused]] ssize_t n = read(fd_, &value, sizeof value);  // EAGAIN: already clear
}

bool ManualEvent::isSet() const {
  pollfd p{fd_, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

int WaitAny(std::initializer_list<int> descriptors, int timeoutMs) {
  pollfd fds[4];
  nfds_t n = 0;
  for (int d : descriptors)
    if (n < 4) fds[n++] = pollfd{d, POLLIN, 0};
  for (;;) {
    const int r = poll(fds, n, timeoutMs);
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) return kWaitTimedOut;
    if (r < 0) return -1;
    for (nfds_t i = 0; i < n; ++i)
      if (fds[i].revents != 0) return static_cast<int>(i);
  }
}

void PostedQueue::post(Message message) {
  std::lock_guard lock(mutex_);
  messages_.push_back(message);
  ready_.set();
}

std::vector<PostedQueue::Message> PostedQueue::takeAll() {
  std::lock_guard lock(mutex_);
  std::vector<Message> out(messages_.begin(), messages_.end());
  messages_.clear();
  ready_.reset();
  return out;
}

void PostedQueue::drop(Message message) {
  std::lock_guard lock(mutex_);
  std::erase(messages_, message);
  if (messages_.empty()) ready_.reset();
}

void PostedQueue::clear() {
  std::lock_guard lock(mutex_);
  messages_.clear();
  ready_.reset();
}

}  // namespace zdaq
