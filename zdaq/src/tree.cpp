#include "zdaq/src/tree.h"

#include <string>
#include <vector>

#include "zdaq/identifiers.h"

namespace zdaq {
namespace {

struct PointRange {
  int32_t first;
  int32_t count;
  const char* prefix;
  std::vector<int32_t> allowed;
};

}  // namespace

DeviceTree TreeBuilder::build(const std::weak_ptr<ZzDaqDevice>& owner) {
  DeviceTree tree{std::make_shared<ZzIoConfigurationCollection>(),
                  std::make_shared<ZzIoPointCollection>(),
                  std::make_shared<ZzIoConfigurationGroupCollection>(),
                  std::make_shared<ZzIoPointGroupCollection>()};

  const std::pair<int32_t, const char*> configurations[] = {
      {kNormalDigitalInput, "Normal Digital Input"},
      {kSingleEndedAnalogInput, "12-Bit Single-Ended Analog Input"},
      {kDifferentialAnalogInput, "12-Bit Differential Analog Input"},
      {kNormalDigitalOutput, "Normal Digital Output"},
      {kAnalogOutput, "10-Bit Analog Output"},
  };
  for (const auto& [id, name] : configurations)
    tree.configurations->Add(make<ZzIoConfiguration>(id, name));

  const PointRange ranges[] = {
      {kFirstDigitalPoint, 8, "Digital I/O ", {kNormalDigitalInput, kNormalDigitalOutput}},
      {kFirstAnalogInputPoint,
       8,
       "Analog Input ",
       {kSingleEndedAnalogInput, kDifferentialAnalogInput}},
      {kFirstAnalogOutputPoint, 4, "Analog Output ", {kAnalogOutput}},
  };
  for (const auto& range : ranges) {
    for (int32_t i = 0; i < range.count; ++i) {
      auto point = make<ZzIoPoint>(range.first + i, range.prefix + std::to_string(i));
      point->SetOwner(owner);
      tree.points->Add(point);
    }
  }

  const std::pair<int32_t, const char*> configurationGroups[] = {
      {kDigitalInputGroup, "Digital Input"},
      {kDigitalOutputGroup, "Digital Output"},
      {kAnalogInputGroup, "Analog Input"},
      {kAnalogOutputGroup, "Analog Output"},
  };
  for (const auto& [id, name] : configurationGroups)
    tree.configurationGroups->Add(make<ZzIoConfigurationGroup>(id, name));

  for (const auto& [id, name] : {std::pair{kDigitalIoGroup0, "Digital I/O Group 0"},
                                 {kDigitalIoGroup1, "Digital I/O Group 1"}}) {
    auto group = make<ZzIoPointGroup>(id, name);
    group->SetOwner(owner);
    tree.pointGroups->Add(group);
  }

  // The links.
  const auto configuration = [&](int32_t id) { return tree.configurations->LookupWithId(id); };
  for (const auto& range : ranges)
    for (int32_t i = 0; i < range.count; ++i)
      for (int32_t allowed : range.allowed)
        tree.points->LookupWithId(range.first + i)->AddIoConfiguration(configuration(allowed));

  const std::pair<int32_t, std::vector<int32_t>> groupConfigurations[] = {
      {kDigitalInputGroup, {kNormalDigitalInput}},
      {kDigitalOutputGroup, {kNormalDigitalOutput}},
      {kAnalogInputGroup, {kSingleEndedAnalogInput, kDifferentialAnalogInput}},
      {kAnalogOutputGroup, {kAnalogOutput}},
  };
  for (const auto& [groupId, held] : groupConfigurations)
    for (int32_t id : held)
      tree.configurationGroups->LookupWithId(groupId)->AddIoConfiguration(configuration(id));

  const std::pair<int32_t, int32_t> pointGroups[] = {{kDigitalIoGroup0, 1}, {kDigitalIoGroup1, 5}};
  for (const auto& [groupId, firstPoint] : pointGroups) {
    auto group = tree.pointGroups->LookupWithId(groupId);
    for (int32_t id = firstPoint; id < firstPoint + 4; ++id)
      group->AddIoPoint(tree.points->LookupWithId(id));
    group->AddIoConfigurationGroup(tree.configurationGroups->LookupWithId(kDigitalInputGroup));
    group->AddIoConfigurationGroup(tree.configurationGroups->LookupWithId(kDigitalOutputGroup));
  }
  return tree;
}

}  // namespace zdaq
