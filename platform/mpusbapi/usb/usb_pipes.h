#pragma once
// The pipe table behind the seven exports: instances of matching devices, opened devices shared
// by their pipes, and transfers on a pipe's endpoint.
//
// - Instance n of an id text is a slot that a device keeps for as long as it stays attached: the
//   devices found first fill the slots in bus and port order, a device plugged in later takes the
//   lowest free slot. An unplugged device leaves its slot empty (opening it fails) until another
//   device takes it; the count is the number of devices attached, so a caller that probes
//   instances finds them across such a gap.
// - A device is known by its attachment (DeviceId), never by its port: a module replugged into
//   the same port is a new device, and pipes of the old one fail instead of reaching the new one.
// - A stalled transfer is cleared and tried once more; if it stalls again the halt is cleared,
//   the transfer fails and the next one starts on a working endpoint. Every endpoint's halt is
//   also cleared when its first pipe on an opened device is opened, so that a halt left by the
//   module's last user does not fail the first command.
// - Time-outs in milliseconds: above 0 as given; 0 means "do not wait", the shortest wait the USB
//   stack has (1 ms); below 0 means no limit (an unplug still ends the wait).

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
  // A handle, or -1. Only bulk and interrupt endpoints serve pipes.
  int32_t open(int32_t instance, const char* vidPid, const char* pipeName, int32_t direction);
  // 1 when the data went out; `sent` (may be null) gets the bytes moved.
  int32_t write(int32_t handle, const void* data, int32_t length, int32_t* sent, int32_t timeoutMs);
  // 1 when a packet came. `received` (may be null) gets its whole length, which exceeds `length`
  // when the device sent more than asked: only `length` bytes are stored. With `countOnTimeout`
  // it also gets what came before a time-out.
  int32_t read(int32_t handle, void* data, int32_t length, int32_t* received, int32_t timeoutMs,
               bool countOnTimeout);
  int32_t close(int32_t handle);

 private:
  struct Device;
  struct Pipe;

  // The devices with these ids now attached, indexed by instance (empty slots hold id 0).
  std::vector<DeviceId> instances(VidPid ids, std::vector<AttachedDevice>& attached);
  int transfer(int32_t handle, bool in, unsigned char* data, int32_t length, int* transferred,
               int32_t timeoutMs);
  std::shared_ptr<Device> openDevice(const AttachedDevice& device);
  void reportAccessDenied(const DeviceLocation& location);

  std::mutex mutex_;
  std::unique_ptr<UsbBus> bus_;
  bool accessDeniedTold_ = false;
  std::map<int32_t, Pipe> pipes_;
  std::vector<std::weak_ptr<Device>> devices_;
  std::map<uint32_t, std::vector<DeviceId>> slots_;  // by vid << 16 | pid
  int32_t next_ = 1;
};

}  // namespace mpusb
