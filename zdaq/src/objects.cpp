#include "zdaq/objects.h"

#include "zdaq/device.h"
#include "zdaq/driver_abi.h"
#include "zdaq/identifiers.h"
#include "zdaq/src/tree.h"

namespace zdaq {

std::string NamedElement::Name() const {
  // Not yet named: a plain failure without a description.
  if (name_.empty()) ThrowError(kUnspecifiedFailure, "", interface_);
  return name_;
}

ZzIoConfiguration::ZzIoConfiguration() : NamedElement(kIZzIoConfiguration) {}

ZzIoConfigurationGroup::ZzIoConfigurationGroup()
    : NamedElement(kIZzIoConfigurationGroup),
      configurations_(std::make_shared<ZzIoConfigurationCollection>()) {}

void ZzIoConfigurationGroup::AddIoConfiguration(std::shared_ptr<ZzIoConfiguration> configuration) {
  TreeBuilder::add(*configurations_, std::move(configuration));
}

ZzIoPoint::ZzIoPoint()
    : NamedElement(kIZzIoPoint), allowed_(std::make_shared<ZzIoConfigurationCollection>()) {}

std::shared_ptr<ZzDaqDevice> ZzIoPoint::owner() const {
  auto device = owner_.lock();
  if (!device) ThrowError(kDeviceNotOpen, kTextDeviceNotOpen, kIZzIoPoint);
  return device;
}

int32_t ZzIoPoint::Configuration() const {
  return owner()->ioControlGet(ZDAQ_CTL_GET_POINT_CONFIGURATION, ID(), kIZzIoPoint);
}

void ZzIoPoint::Configuration(int32_t configurationId) {
  owner()->ioControlPut(ZDAQ_CTL_SET_POINT_CONFIGURATION, ID(), configurationId, kIZzIoPoint);
}

int32_t ZzIoPoint::Value() const {
  const auto device = owner();
  const int32_t configuration =
      device->ioControlGet(ZDAQ_CTL_GET_POINT_CONFIGURATION, ID(), kIZzIoPoint);
  if (static_cast<uint32_t>(configuration) & kOutputFlag) {
    if (configuration == kNormalDigitalOutput) return lastWritten_ != 0 ? 1 : 0;
    return lastWritten_;
  }
  return device->ioControlGet(ZDAQ_CTL_GET_POINT_VALUE, ID(), kIZzIoPoint);
}

void ZzIoPoint::Value(int32_t value) {
  owner()->ioControlPut(ZDAQ_CTL_SET_POINT_VALUE, ID(), value, kIZzIoPoint);
  lastWritten_ = value;
}

std::shared_ptr<ZzIoConfigurationCollection> ZzIoPoint::AllIoConfigurations() const {
  const auto device = owner_.lock();
  if (!device) ThrowError(kDeviceNotOpen, kTextDeviceNotOpen, kIZzIoPoint);
  return device->IoConfigurations();
}

void ZzIoPoint::AddIoConfiguration(std::shared_ptr<ZzIoConfiguration> configuration) {
  TreeBuilder::add(*allowed_, std::move(configuration));
}

ZzIoPointGroup::ZzIoPointGroup()
    : NamedElement(kIZzIoPointGroup),
      points_(std::make_shared<ZzIoPointCollection>()),
      configurationGroups_(std::make_shared<ZzIoConfigurationGroupCollection>()) {}

std::shared_ptr<ZzDaqDevice> ZzIoPointGroup::owner() const {
  auto device = owner_.lock();
  if (!device) ThrowError(kDeviceNotOpen, kTextDeviceNotOpen, kIZzIoPointGroup);
  return device;
}

int32_t ZzIoPointGroup::Configuration() const {
  return owner()->ioControlGet(ZDAQ_CTL_GET_GROUP_CONFIGURATION, ID(), kIZzIoPointGroup);
}

void ZzIoPointGroup::Configuration(int32_t configurationId) {
  owner()->ioControlPut(ZDAQ_CTL_SET_GROUP_CONFIGURATION, ID(), configurationId, kIZzIoPointGroup);
}

void ZzIoPointGroup::AddIoPoint(std::shared_ptr<ZzIoPoint> point) {
  TreeBuilder::add(*points_, std::move(point));
}

void ZzIoPointGroup::AddIoConfigurationGroup(std::shared_ptr<ZzIoConfigurationGroup> group) {
  TreeBuilder::add(*configurationGroups_, std::move(group));
}

}  // namespace zdaq
