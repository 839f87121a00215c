#pragma once
// Pollable events: a manual-reset event over an eventfd, the queue through which a sampling
// thread or a discovery posts to the client's thread, and connection points.

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "zdaq/error.h"

namespace zdaq {

// Set stays set until reset; polls readable while set. Throws a system error if the
// descriptor cannot be created.
class ManualEvent {
 public:
  explicit ManualEvent(std::string_view source);
  ~ManualEvent();
  ManualEvent(const ManualEvent&) = delete;
  ManualEvent& operator=(const ManualEvent&) = delete;

  void set();
  void reset();
  bool isSet() const;
  int descriptor() const { return fd_; }

 private:
  int fd_;
};

// Blocks until one of the descriptors polls readable and returns its position; the first one
// wins when several are ready. Returns kWaitTimedOut after timeoutMs (never, when negative) and
// -1 on a failure of poll itself.
inline constexpr int kWaitTimedOut = -2;
int WaitAny(std::initializer_list<int> descriptors, int timeoutMs = -1);

// Messages posted from any thread, taken on the client's thread in the order posted.
class PostedQueue {
 public:
  enum class Message { DataAvailable = 0x464, Change };

  explicit PostedQueue(std::string_view source) : ready_(source) {}
  void post(Message message);
  std::vector<Message> takeAll();
  // Drops the waiting messages of one kind, or all of them; the descriptor is drained when
  // nothing is left.
  void drop(Message message);
  void clear();
  int descriptor() const { return ready_.descriptor(); }

 private:
  std::mutex mutex_;
  std::deque<Message> messages_;
  ManualEvent ready_;
};

// Subscribers by cookie. Raising works on a copy, so a sink may unadvise while it is called.
template <class Sink>
class Connections {
 public:
  uint32_t advise(std::shared_ptr<Sink> sink, std::string_view source) {
    if (!sink) ThrowError(kInvalidArgument, kTextParameterInvalid, source);
    sinks_.emplace(++last_, std::move(sink));
    return last_;
  }
  void unadvise(uint32_t cookie, std::string_view source) {
    if (sinks_.erase(cookie) == 0) ThrowError(kInvalidArgument, kTextParameterInvalid, source);
  }
  template <class F>
  void raise(F call) const {
    std::vector<std::shared_ptr<Sink>> sinks;
    for (const auto& [cookie, sink] : sinks_) sinks.push_back(sink);
    for (const auto& sink : sinks) call(*sink);
  }

 private:
  std::map<uint32_t, std::shared_ptr<Sink>> sinks_;
  uint32_t last_ = 0;
};

}  // namespace zdaq
