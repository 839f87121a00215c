#pragma once
// Messages of a device that lives on the acquisition thread. A device may not show a box from
// there: it posts the box here, and the window's thread shows it when it next processes readings.

#include <mutex>
#include <vector>

#include "app/session/alerts.h"

namespace tidemet {

class DeviceMessages {
 public:
  void post(Alert alert) {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(std::move(alert));
  }
  std::vector<Alert> take() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Alert> out;
    out.swap(pending_);
    return out;
  }

 private:
  std::mutex mutex_;
  std::vector<Alert> pending_;
};

}  // namespace tidemet
