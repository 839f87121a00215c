#pragma once
// The Linux driver interface of driver_abi.h, over a seam of the few system calls it makes so
// that tests can stand below it and check what reaches the kernel.

#include <memory>

#include "zdaq/driver.h"

namespace zdaq {

class KernelCalls {
 public:
  virtual ~KernelCalls() = default;
  // As open(2), flock(2), ioctl(2) and close(2): -1 with errno set on failure.
  virtual int open(const char* path, int flags) = 0;
  virtual int flock(int fd, int operation) = 0;
  virtual int ioctl(int fd, unsigned long request, void* argument) = 0;
  virtual int close(int fd) = 0;
};

// The process's own system calls.
std::shared_ptr<KernelCalls> SystemKernelCalls();

class LinuxDriver final : public Driver {
 public:
  explicit LinuxDriver(std::shared_ptr<KernelCalls> kernel = SystemKernelCalls())
      : kernel_(std::move(kernel)) {}
  std::unique_ptr<DriverHandle> open(const std::string& interfacePath, int& error) override;

 private:
  std::shared_ptr<KernelCalls> kernel_;
};

}  // namespace zdaq
