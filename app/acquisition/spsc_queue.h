#pragma once
// A bounded single-producer, single-consumer queue: the acquisition thread pushes reading sets,
// the window's thread pops them in order. No locks, no allocation after construction.

#include <array>
#include <atomic>
#include <cstddef>

namespace tidemet {

template <typename T, size_t Capacity>
class SpscQueue {
  static_assert((Capacity & (Capacity - 1)) == 0, "capacity must be a power of two");

 public:
  // Producer side. False when full (the item is not queued).
  bool push(const T& item) {
    const size_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) == Capacity) return false;
    items_[head & (Capacity - 1)] = item;
    head_.store(head + 1, std::memory_order_release);
    return true;
  }

  // Consumer side. The oldest item, or null when empty; pop() releases it.
  const T* front() const {
    const size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return nullptr;
    return &items_[tail & (Capacity - 1)];
  }
  void pop() { tail_.store(tail_.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

  size_t size() const {
    return head_.load(std::memory_order_acquire) - tail_.load(std::memory_order_acquire);
  }

 private:
  std::array<T, Capacity> items_{};
  alignas(64) std::atomic<size_t> head_{0};
  alignas(64) std::atomic<size_t> tail_{0};
};

}  // namespace tidemet
