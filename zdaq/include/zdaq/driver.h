#pragma once
// The seam between a device object and its kernel driver: LinuxDriver speaks driver_abi.h,
// SimulatedDriver answers the same controls in-process.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace zdaq {

struct ControlResult {
  int error = 0;          // errno, 0 on success
  uint32_t returned = 0;  // bytes written to the output
};

struct ReadResult {
  enum class Status { Done, Pending, Failed };
  Status status = Status::Failed;
  uint32_t bytes = 0;  // Done: bytes written to the region
  int error = 0;       // Failed: errno
};

// One open device. Two threads use a handle at once: controls come from the client's thread (or
// the library's power thread, which only opens and closes) while the sampling thread begins,
// completes and cancels reads. A handle must therefore let control() run concurrently with the
// read calls; the device object guarantees that controls never overlap one another, that at
// most one read is outstanding and that the read calls come from one thread only. The handle
// is destroyed only after the sampling thread has ended.
class DriverHandle {
 public:
  virtual ~DriverHandle() = default;
  // A control other than the sampling read; completes before it returns.
  virtual ControlResult control(uint32_t code, std::span<const std::byte> in,
                                std::span<std::byte> out) = 0;
  // The sampling read: asks for up to freeSlots samples into region. At most one read is
  // outstanding; a Pending read keeps region until CompleteRead or CancelRead.
  virtual ReadResult beginRead(uint32_t freeSlots, std::span<std::byte> region) = 0;
  // Polls readable when a pending read can be completed.
  virtual int readDescriptor() const = 0;
  // Finishes a pending read without waiting; may report Pending again.
  virtual ReadResult completeRead() = 0;
  virtual void cancelRead() = 0;
};

// Shared by every device of an enumerator: open() may be called from the client's thread and
// from the power thread at the same time.
class Driver {
 public:
  virtual ~Driver() = default;
  // Opens a device interface read-write and exclusively; on failure returns null and sets error.
  virtual std::unique_ptr<DriverHandle> open(const std::string& interfacePath, int& error) = 0;
};

}  // namespace zdaq
