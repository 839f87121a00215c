#pragma once
// The Linux driver interface of driver_abi.h.

#include "zdaq/driver.h"

namespace zdaq {

class LinuxDriver final : public Driver {
 public:
  std::unique_ptr<DriverHandle> open(const std::string& interfacePath, int& error) override;
};

}  // namespace zdaq
