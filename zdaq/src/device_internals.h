#pragma once
// What the library's own parts (the enumerator, its power thread, tests and benchmarks) do with
// a device beyond its client members.

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "zdaq/device.h"

namespace zdaq {

class OpenDevices;

struct DeviceInternals {
  static void setIdentity(ZzDaqDevice& device, std::string path, std::string name);
  static void setOpenDevices(ZzDaqDevice& device, std::shared_ptr<OpenDevices> openDevices);

  // Hot-plug, from the enumerator on the client's thread.
  static void removed(ZzDaqDevice& device);  // close the I/O, keep the open flag: reads as removed
  static void arrived(ZzDaqDevice& device);  // re-open a removed device
  static void nodesChanged(ZzDaqDevice& device);  // post OnChange

  // Around a system sleep, from the power thread: suspend closes the I/O of an open device;
  // resume opens it again and posts OnChange.
  static void suspend(ZzDaqDevice& device);
  static void resume(ZzDaqDevice& device);

  static bool isOpen(const ZzDaqDevice& device);
  static bool holdsHandle(const ZzDaqDevice& device);
  // 100-ns units, for the driver's set-up request.
  static int64_t intervalUnits(const ZzDaqDevice& device);

  // Samples the sampling thread has put into the ring since StartSampling, markers included,
  // and a bounded wait for a total: for tests and benchmarks that must know it caught up.
  static uint64_t samplesAccepted(const ZzDaqDevice& device);
  static bool waitSamplesAccepted(const ZzDaqDevice& device, uint64_t total,
                                  std::chrono::milliseconds timeout);
};

}  // namespace zdaq
