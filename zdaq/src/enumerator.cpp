#include "zdaq/enumerator.h"

#include <algorithm>

#include "zdaq/src/events.h"
#include "zdaq/src/linux_driver.h"
#include "zdaq/src/udev_discovery.h"

namespace zdaq {

struct EnumImpl {
  std::shared_ptr<Driver> driver;
  std::unique_ptr<Discovery> discovery;
  std::shared_ptr<ZzDaqDeviceCollection> devices = std::make_shared<ZzDaqDeviceCollection>();
  Connections<ZzDaqEnumEvents> sinks;

  // A device without a path or a name is not added.
  void add(const std::string& path, const std::string& name) {
    if (path.empty() || name.empty()) return;
    auto device = ZzDaqDevice::create(driver);
    device->SetName(name);
    device->SetInterface(path);
    devices->Add(std::move(device));
  }

  bool listed(const std::string& path) const {
    return std::any_of(devices->begin(), devices->end(),
                       [&](const auto& d) { return d->Interface() == path; });
  }

  template <class F>
  void forPath(const std::string& path, F f) {
    for (const auto& device : *devices)
      if (device->Interface() == path) f(*device);
  }

  void apply(const DiscoveryEvent& event) {
    std::shared_ptr<ZzDaqDevice> gone;
    switch (event.kind) {
      case DiscoveryEvent::Kind::Arrival:
        // A path already listed was seen twice: the monitor starts before the first listing.
        if (!listed(event.path)) add(event.path, event.name);
        break;
      case DiscoveryEvent::Kind::Removal:
        gone = devices->RemoveIf([&](const ZzDaqDevice& d) { return d.Interface() == event.path; });
        if (gone) gone->Close();
        break;
      case DiscoveryEvent::Kind::QueryRemove:
        forPath(event.path, [](ZzDaqDevice& d) { d.handleRemoved(); });
        return;
      case DiscoveryEvent::Kind::HandleArrival:
        forPath(event.path, [](ZzDaqDevice& d) { d.handleArrived(); });
        return;
      case DiscoveryEvent::Kind::Suspend:
        for (const auto& device : *devices) device->handleRemoved();
        discovery->suspendHandled();
        return;
    }
    // The set of device nodes changed: every device hears of it, the one just gone included.
    for (const auto& device : *devices) device->nodesChanged();
    if (gone) gone->nodesChanged();
    sinks.raise([](ZzDaqEnumEvents& s) { s.OnChange(); });
  }
};

Backend Backend::system() {
  return {std::make_shared<LinuxDriver>(), [] { return std::make_unique<UdevDiscovery>(); }};
}

ZzDaqEnum::ZzDaqEnum(const Backend& backend) : impl_(std::make_unique<EnumImpl>()) {
  impl_->driver = backend.driver ? backend.driver : std::make_shared<LinuxDriver>();
  impl_->discovery = backend.discovery ? backend.discovery() : std::make_unique<UdevDiscovery>();
  // An interface whose path or name cannot be read is skipped; the others are still listed.
  for (const auto& info : impl_->discovery->enumerate()) impl_->add(info.path, info.name);
}

ZzDaqEnum::~ZzDaqEnum() = default;

std::shared_ptr<ZzDaqDeviceCollection> ZzDaqEnum::Devices() const { return impl_->devices; }

uint32_t ZzDaqEnum::Advise(std::shared_ptr<ZzDaqEnumEvents> sink) {
  return impl_->sinks.advise(std::move(sink), kIZzDaqEnum);
}

void ZzDaqEnum::Unadvise(uint32_t cookie) { impl_->sinks.unadvise(cookie, kIZzDaqEnum); }

int ZzDaqEnum::EventDescriptor() const { return impl_->discovery->descriptor(); }

void ZzDaqEnum::ProcessEvents() {
  for (const auto& event : impl_->discovery->takeEvents()) impl_->apply(event);
}

std::shared_ptr<Object> CreateObject(std::string_view progId, const Backend& backend) {
  constexpr std::string_view kLibrary = "ZDaq.";
  constexpr std::string_view kVersion = ".1";
  std::string_view name = progId;
  if (name.starts_with(kLibrary)) {
    name.remove_prefix(kLibrary.size());
    if (name.ends_with(kVersion)) name.remove_suffix(kVersion.size());
    if (name == "ZzDaqEnum") return std::make_shared<ZzDaqEnum>(backend);
    if (name == "ZzDaqDevice") return ZzDaqDevice::create(backend.driver);
    if (name == "ZzIoPoint") return std::make_shared<ZzIoPoint>();
    if (name == "ZzIoConfiguration") return std::make_shared<ZzIoConfiguration>();
    if (name == "ZzIoPointGroup") return std::make_shared<ZzIoPointGroup>();
    if (name == "ZzIoConfigurationGroup") return std::make_shared<ZzIoConfigurationGroup>();
  }
  ThrowError(kInvalidArgument, kTextParameterInvalid, kLibraryName);
}

}  // namespace zdaq
