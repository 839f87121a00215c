#include "zdaq/device.h"

#include <array>
#include <cfloat>
#include <cmath>
#include <new>

#include "zdaq/driver_abi.h"
#include "zdaq/src/device_impl.h"
#include "zdaq/src/device_internals.h"
#include "zdaq/src/le_bytes.h"
#include "zdaq/src/linux_driver.h"

namespace zdaq {

void DeviceImpl::requireHandle(std::string_view source) const {
  if (!open) ThrowError(kDeviceNotOpen, kTextDeviceNotOpen, source);
  if (!handle) ThrowError(kDeviceRemoved, kTextDeviceRemoved, source);
}

void DeviceImpl::control(uint32_t code, std::span<const std::byte> in, std::span<std::byte> out,
                         std::string_view source) const {
  const ControlResult result = handle->control(code, in, out);
  if (result.error != 0) ThrowSystemError(result.error, source);
}

int32_t DeviceImpl::controlGet(uint32_t code, int32_t param, std::string_view source) const {
  requireHandle(source);
  std::array<std::byte, 4> in{};
  std::array<std::byte, 4> out{};
  PutLe(in, 0, static_cast<uint32_t>(param), 4);
  PutLe(out, 0, 0x80000000u, 4);  // what a driver that writes nothing leaves
  control(code, in, out, source);
  return static_cast<int32_t>(GetLe(out, 0, 4));
}

void DeviceImpl::openIo(ZzDaqDevice& self) {
  if (handle) ThrowError(kDeviceOpenAlready, kTextDeviceOpenAlready, kIZzDaqDevice);
  try {
    // Each step's resource undoes itself if a later step throws.
    int error = 0;
    auto opened = driver->open(interfacePath, error);
    if (!opened) ThrowSystemError(error, kIZzDaqDevice);
    // A tree kept over a system sleep stays, with the client's points and their settings.
    DeviceTree built = tree.points ? tree : TreeBuilder::build(self.weak_from_this());
    auto thread = std::make_unique<Sampler>(*opened, queue, kIZzDaqDevice);
    if (openDevices && !open) openDevices->opened(&self, self.weak_from_this());
    handle = std::move(opened);
    tree = std::move(built);
    sampler = std::move(thread);
    sampling = false;
    open = true;
  } catch (const std::bad_alloc&) {
    ThrowOutOfMemory(kIZzDaqDevice);
  }
}

void DeviceImpl::closeIo(bool keepTree) {
  if (sampling && handle) {
    // The device may be gone already; closing goes on whatever the driver answers.
    handle->control(ZDAQ_CTL_STOP_SAMPLING, {}, {});
  }
  sampling = false;
  sampler.reset();  // ends the thread before its handle goes
  handle.reset();
  if (!keepTree) tree = {};
}

std::shared_ptr<ZzDaqDevice> ZzDaqDevice::create(std::shared_ptr<Driver> driver) {
  if (!driver) driver = std::make_shared<LinuxDriver>();
  return std::shared_ptr<ZzDaqDevice>(new ZzDaqDevice(std::move(driver)));
}

ZzDaqDevice::ZzDaqDevice(std::shared_ptr<Driver> driver)
    : impl_(std::make_unique<DeviceImpl>(std::move(driver))) {}

ZzDaqDevice::~ZzDaqDevice() { Close(); }

std::string ZzDaqDevice::Name() const {
  if (impl_->name.empty()) ThrowError(kUnspecifiedFailure, "", kIZzDaqDevice);
  return impl_->name;
}

std::string ZzDaqDevice::Interface() const {
  if (impl_->interfacePath.empty()) ThrowError(kUnspecifiedFailure, "", kIZzDaqDevice);
  return impl_->interfacePath;
}

std::string_view ZzDaqDevice::nameView() const noexcept { return impl_->name; }

void ZzDaqDevice::Open() {
  std::lock_guard lock(impl_->mutex);
  impl_->openIo(*this);
}

void ZzDaqDevice::Close() {
  auto& d = *impl_;
  std::lock_guard lock(d.mutex);
  d.closeIo();
  if (d.open && d.openDevices) d.openDevices->closed(this);
  d.open = false;
  d.suspended = false;
  d.queue.clear();  // what was posted before the close is no longer true
}

std::shared_ptr<ZzIoPointCollection> ZzDaqDevice::IoPoints() const {
  std::lock_guard lock(impl_->mutex);
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.points;
}

std::shared_ptr<ZzIoPointGroupCollection> ZzDaqDevice::IoPointGroups() const {
  std::lock_guard lock(impl_->mutex);
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.pointGroups;
}

std::shared_ptr<ZzIoConfigurationCollection> ZzDaqDevice::IoConfigurations() const {
  std::lock_guard lock(impl_->mutex);
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.configurations;
}

std::shared_ptr<ZzIoConfigurationGroupCollection> ZzDaqDevice::IoConfigurationGroups() const {
  std::lock_guard lock(impl_->mutex);
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.configurationGroups;
}

double ZzDaqDevice::SamplingInterval() const {
  std::lock_guard lock(impl_->mutex);
  return static_cast<double>(impl_->intervalUnits) / 1e7;
}

void ZzDaqDevice::SamplingInterval(double seconds) {
  std::lock_guard lock(impl_->mutex);
  if (impl_->sampling) ThrowError(kSamplingStarted, kTextSamplingStarted, kIZzDaqDevice);
  const double exact = seconds * 1e7;
  // 0.0003 s is 2999.9999999999995 units in binary: a product within a few rounding steps of
  // a whole unit is that unit, anything further off is truncated.
  const double nearest = std::nearbyint(exact);
  const double units = std::fabs(exact - nearest) <= 4 * DBL_EPSILON * std::fabs(exact)
                           ? nearest
                           : std::trunc(exact);
  // The set-up request carries a signed 64-bit count of at least one unit; a shorter interval
  // is refused here rather than by the driver at start.
  if (!std::isfinite(units) || units < 1 || units >= 9.2e18)
    ThrowError(kInvalidArgument, kTextParameterInvalid, kIZzDaqDevice);
  impl_->intervalUnits = static_cast<int64_t>(units);
}

int32_t ZzDaqDevice::SamplingEnabled() const {
  std::lock_guard lock(impl_->mutex);
  return impl_->sampling ? 1 : 0;
}

void ZzDaqDevice::SamplingEnabled(int32_t enabled) {
  if (enabled != 0)
    StartSampling();
  else
    StopSampling();
}

uint32_t ZzDaqDevice::Advise(std::shared_ptr<ZzDaqDeviceEvents> sink) {
  return impl_->sinks.advise(std::move(sink), kIZzDaqDevice);
}

void ZzDaqDevice::Unadvise(uint32_t cookie) { impl_->sinks.unadvise(cookie, kIZzDaqDevice); }

int ZzDaqDevice::EventDescriptor() const { return impl_->queue.descriptor(); }

void ZzDaqDevice::ProcessEvents() {
  const auto keepAlive = shared_from_this();  // a sink may drop the last other reference
  auto& d = *impl_;
  for (const auto message : d.queue.takeAll()) {
    const bool data = message == PostedQueue::Message::DataAvailable;
    {
      // Raised only while still true, so that a sink may answer a data notice with GetSamples.
      std::lock_guard lock(d.mutex);
      if (!d.open || (data && !(d.sampling && d.handle))) continue;
    }
    if (data)
      d.sinks.raise([](ZzDaqDeviceEvents& s) { s.OnDataAvailable(); });
    else
      d.sinks.raise([](ZzDaqDeviceEvents& s) { s.OnChange(); });
  }
}

int32_t ZzDaqDevice::IoControl(int32_t ioctl, int32_t param) const {
  const auto code = static_cast<uint32_t>(ioctl);
  if (code != ZDAQ_CTL_GET_POINT_VALUE && code != ZDAQ_CTL_GET_POINT_CONFIGURATION &&
      code != ZDAQ_CTL_GET_GROUP_CONFIGURATION)
    ThrowError(kParameterInvalid, kTextParameterInvalid, kIZzDaqDevicePrivate);
  return ioControlGet(code, param, kIZzDaqDevicePrivate);
}

void ZzDaqDevice::IoControl(int32_t ioctl, int32_t param, int32_t value) {
  const auto code = static_cast<uint32_t>(ioctl);
  if (code != ZDAQ_CTL_SET_POINT_CONFIGURATION && code != ZDAQ_CTL_SET_GROUP_CONFIGURATION &&
      code != ZDAQ_CTL_SET_POINT_VALUE)
    ThrowError(kParameterInvalid, kTextParameterInvalid, kIZzDaqDevicePrivate);
  ioControlPut(code, param, value, kIZzDaqDevicePrivate);
}

int32_t ZzDaqDevice::ioControlGet(uint32_t code, int32_t param, std::string_view source) const {
  std::lock_guard lock(impl_->mutex);
  return impl_->controlGet(code, param, source);
}

void ZzDaqDevice::ioControlPut(uint32_t code, int32_t param, int32_t value,
                               std::string_view source) {
  std::lock_guard lock(impl_->mutex);
  impl_->requireHandle(source);
  std::array<std::byte, 8> in{};
  PutLe(in, 0, static_cast<uint32_t>(param), 4);
  PutLe(in, 4, static_cast<uint32_t>(value), 4);
  impl_->control(code, in, {}, source);
}

// The library's own access.

void DeviceInternals::setIdentity(ZzDaqDevice& device, std::string path, std::string name) {
  device.impl_->interfacePath = std::move(path);
  device.impl_->name = std::move(name);
}

void DeviceInternals::setOpenDevices(ZzDaqDevice& device, std::shared_ptr<OpenDevices> open) {
  std::lock_guard lock(device.impl_->mutex);
  device.impl_->openDevices = std::move(open);
}

void DeviceInternals::removed(ZzDaqDevice& device) {
  auto& d = *device.impl_;
  std::lock_guard lock(d.mutex);
  if (d.open) d.closeIo();
}

void DeviceInternals::arrived(ZzDaqDevice& device) {
  auto& d = *device.impl_;
  std::lock_guard lock(d.mutex);
  if (!d.open || d.handle) return;
  try {
    d.openIo(device);
    d.suspended = false;
  } catch (const Error&) {
    // A notification reports nothing; the device stays removed.
  }
}

void DeviceInternals::nodesChanged(ZzDaqDevice& device) {
  device.impl_->queue.post(PostedQueue::Message::Change);
}

void DeviceInternals::suspend(ZzDaqDevice& device) {
  auto& d = *device.impl_;
  std::lock_guard lock(d.mutex);
  if (!d.open) return;
  d.closeIo(/*keepTree=*/true);
  d.suspended = true;
}

void DeviceInternals::resume(ZzDaqDevice& device) {
  auto& d = *device.impl_;
  {
    std::lock_guard lock(d.mutex);
    if (!d.open || !d.suspended) return;
    d.suspended = false;
    if (!d.handle) {
      try {
        d.openIo(device);
      } catch (const Error&) {
        // Not back (yet): the device reads as removed until its node returns.
      }
    }
  }
  d.queue.post(PostedQueue::Message::Change);  // the client learns that its set-up is gone
}

bool DeviceInternals::isOpen(const ZzDaqDevice& device) {
  std::lock_guard lock(device.impl_->mutex);
  return device.impl_->open;
}

bool DeviceInternals::holdsHandle(const ZzDaqDevice& device) {
  std::lock_guard lock(device.impl_->mutex);
  return device.impl_->handle != nullptr;
}

int64_t DeviceInternals::intervalUnits(const ZzDaqDevice& device) {
  std::lock_guard lock(device.impl_->mutex);
  return device.impl_->intervalUnits;
}

}  // namespace zdaq
