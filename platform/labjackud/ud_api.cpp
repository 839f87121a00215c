// The exported UD calls. They go to the backend in use: the real driver over libusb unless a
// test or the demo chose a simulated U3 (bus_control.h, sim_control.h).

#include <cstdio>
#include <memory>
#include <mutex>

#include "platform/labjackud/backend.h"
#include "platform/labjackud/bus_control.h"
#include "platform/labjackud/usb/libusb_bus.h"
#include "platform/labjackud/usb/ud_driver.h"

namespace labjack {
namespace {

class DriverBackend final : public Backend {
 public:
  DriverBackend(std::unique_ptr<Bus> owned, Bus& bus, const DriverOptions& options)
      : owned_(std::move(owned)), driver_(bus, options) {}
  double version() override { return driver_.version(); }
  LJ_ERROR open(int32_t deviceType, int32_t connectionType, const char* address, int32_t firstFound,
                LJ_HANDLE* handle) override {
    return driver_.open(deviceType, connectionType, address, firstFound, handle);
  }
  LJ_ERROR put(LJ_HANDLE h, int32_t ioType, int32_t channel, double value, int32_t x1) override {
    return driver_.put(h, ioType, channel, value, x1);
  }
  LJ_ERROR get(LJ_HANDLE h, int32_t ioType, int32_t channel, double* value, int32_t x1) override {
    return driver_.get(h, ioType, channel, value, x1);
  }

 private:
  std::unique_ptr<Bus> owned_;
  UdDriver driver_;
};

struct Library {
  std::mutex mutex;
  Backend* active = nullptr;              // null: `real`, made on first use
  std::unique_ptr<DriverBackend> real;    // over libusb
  std::unique_ptr<DriverBackend> chosen;  // over a bus a test or the demo gave
};

Library& library() {
  static Library lib;
  return lib;
}

// Called with the lock held.
Backend& active(Library& lib) {
  if (lib.active) return *lib.active;
  if (!lib.real) {
    std::unique_ptr<Bus> bus = MakeLibusbBus();
    Bus& ref = *bus;
    lib.real = std::make_unique<DriverBackend>(std::move(bus), ref, DriverOptions{});
  }
  return *lib.real;
}

}  // namespace

void SelectBackend(Backend* backend) {
  Library& lib = library();
  std::lock_guard lock(lib.mutex);
  lib.active = backend;
}

void UseBus(Bus* bus, const DriverOptions& options) {
  Library& lib = library();
  std::lock_guard lock(lib.mutex);
  lib.active = nullptr;
  lib.chosen.reset();
  if (!bus) return;
  lib.chosen = std::make_unique<DriverBackend>(nullptr, *bus, options);
  lib.active = lib.chosen.get();
}

}  // namespace labjack

using labjack::library;

extern "C" {

double GetDriverVersion(void) {
  auto& lib = library();
  std::lock_guard lock(lib.mutex);
  return active(lib).version();
}

LJ_ERROR OpenLabJack(int32_t deviceType, int32_t connectionType, const char* address,
                     int32_t firstFound, LJ_HANDLE* handle) {
  auto& lib = library();
  std::lock_guard lock(lib.mutex);
  return active(lib).open(deviceType, connectionType, address, firstFound, handle);
}

LJ_ERROR ePut(LJ_HANDLE handle, int32_t ioType, int32_t channel, double value, int32_t x1) {
  auto& lib = library();
  std::lock_guard lock(lib.mutex);
  return active(lib).put(handle, ioType, channel, value, x1);
}

LJ_ERROR eGet(LJ_HANDLE handle, int32_t ioType, int32_t channel, double* value, int32_t x1) {
  auto& lib = library();
  std::lock_guard lock(lib.mutex);
  return active(lib).get(handle, ioType, channel, value, x1);
}

void ErrorToString(LJ_ERROR code, char* text) {
  if (!text) return;
  if (const char* known = labjack::ErrorText(code))
    std::snprintf(text, LJ_ERROR_TEXT_SIZE, "%s", known);
  else if (code > LJE_DEVICE_ERROR_BASE && code <= LJE_DEVICE_ERROR_BASE + 255)
    std::snprintf(text, LJ_ERROR_TEXT_SIZE, "The U3 refused the command with its error code %d",
                  static_cast<int>(code - LJE_DEVICE_ERROR_BASE));
  else
    std::snprintf(text, LJ_ERROR_TEXT_SIZE, "Unknown error code %d", static_cast<int>(code));
}

}  // extern "C"
