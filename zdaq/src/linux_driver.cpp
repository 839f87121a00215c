#include "zdaq/src/linux_driver.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>

#include "zdaq/driver_abi.h"

namespace zdaq {

static_assert(std::endian::native == std::endian::little,
              "the driver's buffers are little-endian and read in place");

namespace {

class ProcessKernelCalls final : public KernelCalls {
 public:
  int open(const char* path, int flags) override { return ::open(path, flags); }
  int flock(int fd, int operation) override { return ::flock(fd, operation); }
  int ioctl(int fd, unsigned long request, void* argument) override {
    return ::ioctl(fd, request, argument);
  }
  int close(int fd) override { return ::close(fd); }
};

class LinuxHandle final : public DriverHandle {
 public:
  LinuxHandle(std::shared_ptr<KernelCalls> kernel, int fd) : kernel_(std::move(kernel)), fd_(fd) {}
  ~LinuxHandle() override { kernel_->close(fd_); }

  ControlResult control(uint32_t code, std::span<const std::byte> in,
                        std::span<std::byte> out) override {
    zdaq_ioctl request = make(code, in, out);
    if (call(request) != 0) return {errno, 0};
    return {0, clampReturned(request)};
  }

  ReadResult beginRead(uint32_t freeSlots, std::span<std::byte> region) override {
    slots_ = freeSlots;
    region_ = region;
    return read();
  }

  int readDescriptor() const override { return fd_; }
  ReadResult completeRead() override { return read(); }
  // No request stays in the driver between a refused read and the next one.
  void cancelRead() override { region_ = {}; }

 private:
  static zdaq_ioctl make(uint32_t code, std::span<const std::byte> in, std::span<std::byte> out) {
    zdaq_ioctl request{};
    request.code = code;
    request.in_size = static_cast<uint32_t>(in.size());
    request.out_size = static_cast<uint32_t>(out.size());
    request.in = reinterpret_cast<uintptr_t>(in.data());
    request.out = reinterpret_cast<uintptr_t>(out.data());
    return request;
  }

  int call(zdaq_ioctl& request) const {
    int r;
    do r = kernel_->ioctl(fd_, ZDAQ_IOCTL, &request);
    while (r < 0 && errno == EINTR);
    return r;
  }

  // A driver never writes past the room it was given; do not believe a count that says so.
  static uint32_t clampReturned(const zdaq_ioctl& request) {
    return request.returned < request.out_size ? request.returned : request.out_size;
  }

  ReadResult read() {
    uint32_t slots = slots_;
    std::span<const std::byte> in(reinterpret_cast<const std::byte*>(&slots), sizeof slots);
    zdaq_ioctl request = make(ZDAQ_CTL_READ, in, region_);
    if (call(request) == 0) return {ReadResult::Status::Done, clampReturned(request), 0};
    if (errno == EAGAIN) return {ReadResult::Status::Pending, 0, 0};
    return {ReadResult::Status::Failed, 0, errno};
  }

  std::shared_ptr<KernelCalls> kernel_;
  int fd_;
  uint32_t slots_ = 0;
  std::span<std::byte> region_;
};

}  // namespace

std::shared_ptr<KernelCalls> SystemKernelCalls() { return std::make_shared<ProcessKernelCalls>(); }

std::unique_ptr<DriverHandle> LinuxDriver::open(const std::string& interfacePath, int& error) {
  const int fd = kernel_->open(interfacePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  // Without sharing: a second opener, in this process or another, is refused.
  if (kernel_->flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = errno;
    kernel_->close(fd);
    return nullptr;
  }
  return std::make_unique<LinuxHandle>(kernel_, fd);
}

}  // namespace zdaq
