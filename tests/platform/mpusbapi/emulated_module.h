#pragma once
// Modules emulated below libusb: umockdev puts their sysfs entries and device nodes in place and
// hands their usbfs requests to EmulatedModule, which answers with the simulated firmware. The
// program must run under umockdev-wrapper (its preload library reroutes /sys, /dev and ioctls).

#include <umockdev.h>

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/mpusbapi/sim/sim_module.h"

namespace mpusb {

class EmulatedModule {
 public:
  // A module on bus 1 at `port` of the root hub, answering as device `address`.
  EmulatedModule(UMockdevTestbed* testbed, int port, int address, uint8_t serialDigit);
  ~EmulatedModule();
  EmulatedModule(const EmulatedModule&) = delete;
  EmulatedModule& operator=(const EmulatedModule&) = delete;

  // Takes the module out: its device goes away and every request fails as on a real unplug.
  void unplug();
  // Replies are padded with zeros to this many bytes (0: as the firmware sends them).
  void padRepliesTo(int bytes);
  // The next transfer on `endpoint` stalls it.
  void stallNext(uint8_t endpoint);
  int interfaceClaims() const;

  // The root hub that modules hang from; added once per testbed.
  static void addRootHub(UMockdevTestbed* testbed);

 private:
  static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self);
  bool handle(UMockdevIoctlClient* client);
  void complete(UMockdevIoctlData* urb);

  UMockdevTestbed* testbed_;
  UMockdevIoctlBase* handler_;
  std::string sysPath_, devNode_;
  mutable std::mutex mutex_;
  mpusbsim::SimModule firmware_;
  bool attached_ = true;
  int padTo_ = 0;
  std::map<uint8_t, bool> stall_, halted_;
  std::vector<uint8_t> reply_;                // waiting on endpoint 0x81
  std::deque<UMockdevIoctlData*> waiting_;    // IN requests with nothing to read yet
  std::deque<UMockdevIoctlData*> completed_;  // ready to be reaped
  int claims_ = 0;
};

}  // namespace mpusb
