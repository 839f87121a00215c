#include "zdaq/device.h"

#include <array>
#include <cmath>
#include <new>

#include "zdaq/driver_abi.h"
#include "zdaq/src/device_impl.h"
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

void DeviceImpl::closeIo() {
  if (sampling && handle) {
    // The device may be gone already; closing goes on whatever the driver answers.
    handle->control(ZDAQ_CTL_STOP_SAMPLING, {}, {});
  }
  sampling = false;
  sampler.reset();  // ends the thread before its handle goes
  handle.reset();
  tree = {};
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
void ZzDaqDevice::SetInterface(std::string path) { impl_->interfacePath = std::move(path); }
void ZzDaqDevice::SetName(std::string name) { impl_->name = std::move(name); }
bool ZzDaqDevice::isOpen() const { return impl_->open; }
bool ZzDaqDevice::holdsHandle() const { return impl_->handle != nullptr; }

void ZzDaqDevice::Open() {
  auto& d = *impl_;
  if (d.handle) ThrowError(kDeviceOpenAlready, kTextDeviceOpenAlready, kIZzDaqDevice);
  try {
    // Each step's resource undoes itself if a later step throws.
    int error = 0;
    auto handle = d.driver->open(d.interfacePath, error);
    if (!handle) ThrowSystemError(error, kIZzDaqDevice);
    DeviceTree tree = BuildTree(weak_from_this());
    auto sampler = std::make_unique<Sampler>(*handle, d.queue, kIZzDaqDevice);
    d.handle = std::move(handle);
    d.tree = std::move(tree);
    d.sampler = std::move(sampler);
    d.sampling = false;
    d.open = true;
  } catch (const std::bad_alloc&) {
    ThrowOutOfMemory(kIZzDaqDevice);
  }
}

void ZzDaqDevice::Close() {
  impl_->closeIo();
  impl_->open = false;
}

void ZzDaqDevice::handleRemoved() {
  if (impl_->open) impl_->closeIo();
}

void ZzDaqDevice::handleArrived() {
  if (!impl_->open || impl_->handle) return;
  try {
    Open();
  } catch (const Error&) {
    // A notification reports nothing; the device stays removed.
  }
}

void ZzDaqDevice::nodesChanged() { impl_->queue.post(PostedQueue::Message::Change); }

std::shared_ptr<ZzIoPointCollection> ZzDaqDevice::IoPoints() const {
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.points;
}

std::shared_ptr<ZzIoPointGroupCollection> ZzDaqDevice::IoPointGroups() const {
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.pointGroups;
}

std::shared_ptr<ZzIoConfigurationCollection> ZzDaqDevice::IoConfigurations() const {
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.configurations;
}

std::shared_ptr<ZzIoConfigurationGroupCollection> ZzDaqDevice::IoConfigurationGroups() const {
  impl_->requireHandle(kIZzDaqDevice);
  return impl_->tree.configurationGroups;
}

double ZzDaqDevice::SamplingInterval() const {
  return static_cast<double>(impl_->intervalUnits) / 1e7;
}

void ZzDaqDevice::SamplingInterval(double seconds) {
  if (impl_->sampling) ThrowError(kSamplingStarted, kTextSamplingStarted, kIZzDaqDevice);
  const double units = std::trunc(seconds * 1e7);
  // The set-up request carries a signed 64-bit count; nothing else can be sent.
  if (!std::isfinite(units) || units < 0 || units >= 9.2e18)
    ThrowError(kInvalidArgument, kTextParameterInvalid, kIZzDaqDevice);
  impl_->intervalUnits = static_cast<int64_t>(units);
}

int64_t ZzDaqDevice::samplingIntervalUnits() const { return impl_->intervalUnits; }

int32_t ZzDaqDevice::SamplingEnabled() const { return impl_->sampling ? 1 : 0; }

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
  for (const auto message : impl_->queue.takeAll()) {
    if (message == PostedQueue::Message::DataAvailable)
      impl_->sinks.raise([](ZzDaqDeviceEvents& s) { s.OnDataAvailable(); });
    else
      impl_->sinks.raise([](ZzDaqDeviceEvents& s) { s.OnChange(); });
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
  impl_->requireHandle(source);
  std::array<std::byte, 4> in{};
  std::array<std::byte, 4> out{};
  PutLe(in, 0, static_cast<uint32_t>(param), 4);
  PutLe(out, 0, 0x80000000u, 4);  // what a driver that writes nothing leaves
  impl_->control(code, in, out, source);
  return static_cast<int32_t>(GetLe(out, 0, 4));
}

void ZzDaqDevice::ioControlPut(uint32_t code, int32_t param, int32_t value,
                               std::string_view source) {
  impl_->requireHandle(source);
  std::array<std::byte, 8> in{};
  PutLe(in, 0, static_cast<uint32_t>(param), 4);
  PutLe(in, 4, static_cast<uint32_t>(value), 4);
  impl_->control(code, in, {}, source);
}

}  // namespace zdaq
