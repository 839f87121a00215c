#pragma once
// The state behind a ZzDaqDevice, shared by its member files.

#include <cstdint>
#include <memory>
#include <string>

#include "zdaq/device.h"
#include "zdaq/src/events.h"
#include "zdaq/src/sampler.h"
#include "zdaq/src/tree.h"

namespace zdaq {

struct DeviceImpl {
  explicit DeviceImpl(std::shared_ptr<Driver> d) : driver(std::move(d)), queue(kIZzDaqDevice) {}

  std::shared_ptr<Driver> driver;
  std::string interfacePath;
  std::string name;

  // Open with a handle: working. Open without a handle: removed. The sampler lives exactly
  // as long as the handle and is destroyed first.
  bool open = false;
  std::unique_ptr<DriverHandle> handle;
  std::unique_ptr<Sampler> sampler;
  DeviceTree tree;

  bool sampling = false;
  uint32_t points = 0;  // n, the points per sample of the running set-up
  int64_t intervalUnits = 10'000'000;

  PostedQueue queue;
  Connections<ZzDaqDeviceEvents> sinks;

  // "not open" or "removed" unless a handle is held.
  void requireHandle(std::string_view source) const;
  // Stops sampling, ends the thread, closes the handle, releases the tree; keeps the open flag.
  void closeIo();
  // Driver control through the one synchronous path; throws the system error.
  void control(uint32_t code, std::span<const std::byte> in, std::span<std::byte> out,
               std::string_view source) const;
};

}  // namespace zdaq
