#include "zdaq/enumerator.h"

#include <algorithm>
#include <cctype>

#include "zdaq/src/device_internals.h"
#include "zdaq/src/events.h"
#include "zdaq/src/linux_driver.h"
#include "zdaq/src/logind_suspend.h"
#include "zdaq/src/open_devices.h"
#include "zdaq/src/tree.h"
#include "zdaq/src/udev_discovery.h"

namespace zdaq {

struct EnumImpl final : PowerListener {
  std::shared_ptr<Driver> driver;
  std::unique_ptr<Discovery> discovery;
  std::unique_ptr<PowerWatch> power;
  std::shared_ptr<OpenDevices> openDevices;
  std::shared_ptr<ZzDaqDeviceCollection> devices = std::make_shared<ZzDaqDeviceCollection>();
  Connections<ZzDaqEnumEvents> sinks;

  // A device without a path or a name is not added.
  void add(const std::string& path, const std::string& name) {
    if (path.empty() || name.empty()) return;
    auto device = ZzDaqDevice::create(driver);
    DeviceInternals::setIdentity(*device, path, name);
    DeviceInternals::setOpenDevices(*device, openDevices);
    TreeBuilder::add(*devices, std::move(device));
  }

  template <class F>
  bool forPath(const std::string& path, F f) {
    bool found = false;
    for (const auto& device : *devices) {
      if (device->Interface() != path) continue;
      f(*device);
      found = true;
    }
    return found;
  }

  void apply(const DiscoveryEvent& event) {
    std::shared_ptr<ZzDaqDevice> gone;
    switch (event.kind) {
      case DiscoveryEvent::Kind::Arrival:
        // A listed path was seen twice (the monitor starts before the first listing) or its
        // node came back: a removed device opens again, nothing is added.
        if (!forPath(event.path, DeviceInternals::arrived)) add(event.path, event.name);
        break;
      case DiscoveryEvent::Kind::Removal:
        gone = TreeBuilder::removeIf(
            *devices, [&](const ZzDaqDevice& d) { return d.Interface() == event.path; });
        if (gone) gone->Close();
        break;
      case DiscoveryEvent::Kind::QueryRemove:
        forPath(event.path, DeviceInternals::removed);
        return;
      case DiscoveryEvent::Kind::HandleArrival:
        forPath(event.path, DeviceInternals::arrived);
        return;
    }
    // The set of device nodes changed: every open device hears of it.
    for (const auto& device : *devices) DeviceInternals::nodesChanged(*device);
    sinks.raise([](ZzDaqEnumEvents& s) { s.OnChange(); });
  }

  // On the power watch's thread: only the open-device set is shared with it.
  void suspending() override {
    for (const auto& device : openDevices->snapshot()) DeviceInternals::suspend(*device);
  }
  void resumed() override {
    for (const auto& device : openDevices->snapshot()) DeviceInternals::resume(*device);
  }
};

Backend Backend::system() {
  return {std::make_shared<LinuxDriver>(), [] { return std::make_unique<UdevDiscovery>(); },
          [] { return std::make_unique<LogindPowerWatch>(); }};
}

ZzDaqEnum::ZzDaqEnum(const Backend& backend) : impl_(std::make_unique<EnumImpl>()) {
  impl_->driver = backend.driver ? backend.driver : std::make_shared<LinuxDriver>();
  impl_->discovery = backend.discovery ? backend.discovery() : std::make_unique<UdevDiscovery>();
  if (backend.power) impl_->power = backend.power();
  impl_->openDevices = std::make_shared<OpenDevices>(impl_->power.get());
  // An interface whose path or name cannot be read is skipped; the others are still listed.
  for (const auto& info : impl_->discovery->enumerate()) impl_->add(info.path, info.name);
  if (impl_->power) impl_->power->start(*impl_);
}

ZzDaqEnum::~ZzDaqEnum() {
  // The watch's thread calls into impl_: it ends first. Devices that outlive the enumerator
  // then hold no sleep.
  impl_->openDevices->detach();
  impl_->power.reset();
}

std::shared_ptr<ZzDaqDeviceCollection> ZzDaqEnum::Devices() const { return impl_->devices; }

uint32_t ZzDaqEnum::Advise(std::shared_ptr<ZzDaqEnumEvents> sink) {
  return impl_->sinks.advise(std::move(sink), kIZzDaqEnum);
}

void ZzDaqEnum::Unadvise(uint32_t cookie) { impl_->sinks.unadvise(cookie, kIZzDaqEnum); }

int ZzDaqEnum::EventDescriptor() const { return impl_->discovery->descriptor(); }

void ZzDaqEnum::ProcessEvents() {
  // A handler may drop the last other reference; the remaining events still need impl_.
  const auto keepAlive = weak_from_this().lock();
  for (const auto& event : impl_->discovery->takeEvents()) impl_->apply(event);
}

namespace {

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

}  // namespace

std::shared_ptr<Object> CreateObject(std::string_view progId, const Backend& backend) {
  constexpr std::string_view kLibrary = "ZDaq.";
  constexpr std::string_view kVersion = ".1";
  std::string_view name = progId;
  // ProgIDs are looked up without regard to case, as the registry does.
  if (StartsWithIgnoringCase(name, kLibrary)) {
    name.remove_prefix(kLibrary.size());
    if (name.ends_with(kVersion)) name.remove_suffix(kVersion.size());
    const auto is = [&](std::string_view className) { return EqualIgnoringCase(name, className); };
    if (is("ZzDaqEnum")) return std::make_shared<ZzDaqEnum>(backend);
    if (is("ZzDaqDevice")) return ZzDaqDevice::create(backend.driver);
    if (is("ZzIoPoint")) return std::make_shared<ZzIoPoint>();
    if (is("ZzIoConfiguration")) return std::make_shared<ZzIoConfiguration>();
    if (is("ZzIoPointGroup")) return std::make_shared<ZzIoPointGroup>();
    if (is("ZzIoConfigurationGroup")) return std::make_shared<ZzIoConfigurationGroup>();
  }
  ThrowError(kInvalidArgument, kTextParameterInvalid, kLibraryName);
}

}  // namespace zdaq
