#pragma once
// The state behind a ZzDaqDevice, shared by its member files.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "zdaq/device.h"
#include "zdaq/src/events.h"
#include "zdaq/src/open_devices.h"
#include "zdaq/src/sampler.h"
#include "zdaq/src/tree.h"

namespace zdaq {

struct DeviceImpl {
  explicit DeviceImpl(std::shared_ptr<Driver> d) : driver(std::move(d)), queue(kIZzDaqDevice) {}

  std::shared_ptr<Driver> driver;
  std::string interfacePath;
  std::string name;
  std::shared_ptr<OpenDevices> openDevices;  // null for a device no enumerator made

  // Guards everything below but the queue and the sinks: the client's thread and the power
  // thread both open and close the I/O.
  mutable std::mutex mutex;

  // Open with a handle: working. Open without a handle: removed. The sampler lives exactly
  // as long as the handle and is destroyed first.
  bool open = false;
  bool suspended = false;  // closed by a system sleep, to be opened again on resume
  std::unique_ptr<DriverHandle> handle;
  std::unique_ptr<Sampler> sampler;
  DeviceTree tree;

  bool sampling = false;
  uint32_t points = 0;  // n, the points per sample of the running set-up
  int64_t intervalUnits = 10'000'000;

  PostedQueue queue;
  Connections<ZzDaqDeviceEvents> sinks;

  // The members below expect the lock to be held.

  // "not open" or "removed" unless a handle is held.
  void requireHandle(std::string_view source) const;
  // Opens the handle, builds the tree unless one is kept, starts the thread; sets the open
  // flag on success.
  void openIo(ZzDaqDevice& self);
  // Stops sampling, ends the thread, closes the handle and (unless kept for a resume) releases
  // the tree; keeps the open flag.
  void closeIo(bool keepTree = false);
  // Driver control through the one synchronous path; throws the system error.
  void control(uint32_t code, std::span<const std::byte> in, std::span<std::byte> out,
               std::string_view source) const;
  int32_t controlGet(uint32_t code, int32_t param, std::string_view source) const;
};

}  // namespace zdaq
