#pragma once
// The elements of a device's tree: configurations, configuration groups, I/O points and point
// groups. Points and point groups reach the device through their owner, held weakly so that a
// tree never keeps its device alive.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "zdaq/collection.h"
#include "zdaq/object.h"

namespace zdaq {

class ZzDaqDevice;
class ZzIoConfiguration;
class ZzIoConfigurationGroup;
class ZzIoPoint;
class ZzIoPointGroup;
struct TreeBuilder;

using ZzIoConfigurationCollection = Collection<ZzIoConfiguration>;
using ZzIoConfigurationGroupCollection = Collection<ZzIoConfigurationGroup>;
using ZzIoPointCollection = Collection<ZzIoPoint>;
using ZzIoPointGroupCollection = Collection<ZzIoPointGroup>;

// Name and ID, set once by the library's builders.
class NamedElement {
 public:
  // 0x80004005 while not yet set.
  std::string Name() const;
  int32_t ID() const { return id_; }
  std::string_view nameView() const noexcept { return name_; }

 protected:
  explicit NamedElement(std::string_view interfaceName) : interface_(interfaceName) {}

 private:
  friend struct TreeBuilder;
  void SetName(std::string name) { name_ = std::move(name); }
  void SetID(int32_t id) { id_ = id; }

  std::string_view interface_;
  std::string name_;
  int32_t id_ = 0;
};

class ZzIoConfiguration final : public Object, public NamedElement {
 public:
  static constexpr std::string_view kCollectionClass = "ZzIoConfigurationCollection";
  static constexpr std::string_view kCollectionInterface = "IZzIoConfigurationCollection";

  ZzIoConfiguration();
  std::string_view ClassName() const override { return "ZzIoConfiguration"; }
};

class ZzIoConfigurationGroup final : public Object, public NamedElement {
 public:
  static constexpr std::string_view kCollectionClass = "ZzIoConfigurationGroupCollection";
  static constexpr std::string_view kCollectionInterface = "IZzIoConfigurationGroupCollection";

  ZzIoConfigurationGroup();
  std::string_view ClassName() const override { return "ZzIoConfigurationGroup"; }

  std::shared_ptr<ZzIoConfigurationCollection> IoConfigurations() const { return configurations_; }

 private:
  friend struct TreeBuilder;
  void AddIoConfiguration(std::shared_ptr<ZzIoConfiguration> configuration);

  std::shared_ptr<ZzIoConfigurationCollection> configurations_;
};

class ZzIoPoint final : public Object, public NamedElement {
 public:
  static constexpr std::string_view kCollectionClass = "ZzIoPointCollection";
  static constexpr std::string_view kCollectionInterface = "IZzIoPointCollection";

  ZzIoPoint();
  std::string_view ClassName() const override { return "ZzIoPoint"; }

  // Through the device's I/O controls, with this point's ID as the parameter.
  int32_t Configuration() const;
  void Configuration(int32_t configurationId);
  // An output answers the last value written through this object (0x80000004 as 0 or 1)
  // without a device call; an input is read from the device.
  int32_t Value() const;
  void Value(int32_t value);

  // The configurations this point allows.
  std::shared_ptr<ZzIoConfigurationCollection> IoConfigurations() const { return allowed_; }
  // All of the device's configurations.
  std::shared_ptr<ZzIoConfigurationCollection> AllIoConfigurations() const;

  // Read by StartSampling only.
  int32_t SamplingEnabled() const { return samplingEnabled_; }
  void SamplingEnabled(int32_t enabled) { samplingEnabled_ = enabled; }

 private:
  friend struct TreeBuilder;
  void SetOwner(std::weak_ptr<ZzDaqDevice> device) { owner_ = std::move(device); }
  void AddIoConfiguration(std::shared_ptr<ZzIoConfiguration> configuration);

  std::shared_ptr<ZzDaqDevice> owner() const;

  std::weak_ptr<ZzDaqDevice> owner_;
  std::shared_ptr<ZzIoConfigurationCollection> allowed_;
  int32_t samplingEnabled_ = 0;
  int32_t lastWritten_ = 0;
};

class ZzIoPointGroup final : public Object, public NamedElement {
 public:
  static constexpr std::string_view kCollectionClass = "ZzIoPointGroupCollection";
  static constexpr std::string_view kCollectionInterface = "IZzIoPointGroupCollection";

  ZzIoPointGroup();
  std::string_view ClassName() const override { return "ZzIoPointGroup"; }

  std::shared_ptr<ZzIoPointCollection> IoPoints() const { return points_; }
  std::shared_ptr<ZzIoConfigurationGroupCollection> IoConfigurationGroups() const {
    return configurationGroups_;
  }
  // Through the device's I/O controls, with the group's ID as the parameter.
  int32_t Configuration() const;
  void Configuration(int32_t configurationId);

 private:
  friend struct TreeBuilder;
  void SetOwner(std::weak_ptr<ZzDaqDevice> device) { owner_ = std::move(device); }
  void AddIoPoint(std::shared_ptr<ZzIoPoint> point);
  void AddIoConfigurationGroup(std::shared_ptr<ZzIoConfigurationGroup> group);

  std::shared_ptr<ZzDaqDevice> owner() const;

  std::weak_ptr<ZzDaqDevice> owner_;
  std::shared_ptr<ZzIoPointCollection> points_;
  std::shared_ptr<ZzIoConfigurationGroupCollection> configurationGroups_;
};

}  // namespace zdaq
