#pragma once
// The pipe table behind the seven exports: instances of matching devices, opened devices shared
// by their pipes, and transfers on a pipe's endpoint.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/usb/usb_bus.h"

namespace mpusb {

class UsbPipes {
 public:
  explicit UsbPipes(std::unique_ptr<UsbBus> bus);
  ~UsbPipes();
  UsbPipes(const UsbPipes&) = delete;
  UsbPipes& operator=(const UsbPipes&) = delete;

  int32_t count(const char* vidPid);
  // A handle, or -1.
  int32_t open(int32_t instance, const char* vidPid, const char* pipeName, int32_t direction);
  // 1 when the data went out; `sent` (may be null) gets the bytes moved.
  int32_t write(int32_t handle, const void* data, int32_t length, int32_t* sent, int32_t timeoutMs);
  // 1 when a packet came. `received` (may be null) gets its length, which may exceed `length`:
  // only `length` bytes are stored. With `countOnTimeout` it also gets what came before a
  // time-out.
  int32_t read(int32_t handle, void* data, int32_t length, int32_t* received, int32_t timeoutMs,
               bool countOnTimeout);
  int32_t close(int32_t handle);

 private:
  struct Device;
  struct Pipe;

  int transfer(int32_t handle, bool in, unsigned char* data, int32_t length, int* transferred,
               int32_t timeoutMs);
  std::shared_ptr<Device> openDevice(const AttachedDevice& device);
  void reportAccessDenied(const DeviceLocation& location);

  std::mutex mutex_;
  std::unique_ptr<UsbBus> bus_;
  bool accessDeniedTold_ = false;
  std::map<int32_t, Pipe> pipes_;
  std::vector<std::weak_ptr<Device>> devices_;
  int32_t next_ = 1;
};

}  // namespace mpusb
