#include "zdaq/src/open_devices.h"

#include <algorithm>

namespace zdaq {

void OpenDevices::opened(const ZzDaqDevice* device, std::weak_ptr<ZzDaqDevice> handle) {
  std::lock_guard lock(mutex_);
  if (std::any_of(devices_.begin(), devices_.end(),
                  [&](const auto& entry) { return entry.first == device; }))
    return;
  devices_.emplace_back(device, std::move(handle));
  if (devices_.size() == 1 && watch_ != nullptr) watch_->holdSleep(true);
}

void OpenDevices::closed(const ZzDaqDevice* device) {
  std::lock_guard lock(mutex_);
  const auto erased =
      std::erase_if(devices_, [&](const auto& entry) { return entry.first == device; });
  if (erased > 0 && devices_.empty() && watch_ != nullptr) watch_->holdSleep(false);
}

std::vector<std::shared_ptr<ZzDaqDevice>> OpenDevices::snapshot() const {
  std::lock_guard lock(mutex_);
  std::vector<std::shared_ptr<ZzDaqDevice>> out;
  for (const auto& [device, handle] : devices_)
    if (auto locked = handle.lock()) out.push_back(std::move(locked));
  return out;
}

void OpenDevices::detach() {
  std::lock_guard lock(mutex_);
  watch_ = nullptr;
}

}  // namespace zdaq
