#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/identifiers.h"

namespace zdaq::testing {
namespace {

using TreeTest = SimulatedDeviceTest;

template <class C>
std::vector<std::pair<int32_t, std::string>> Listing(const C& collection) {
  std::vector<std::pair<int32_t, std::string>> out;
  for (const auto& e : collection) out.emplace_back(e->ID(), e->Name());
  return out;
}

template <class C>
std::vector<int32_t> Ids(const C& collection) {
  std::vector<int32_t> out;
  for (const auto& e : collection) out.push_back(e->ID());
  return out;
}

TEST_F(TreeTest, OpenBuildsTheFixedTreeInOrder) {
  device->Open();
  using L = std::vector<std::pair<int32_t, std::string>>;
  EXPECT_EQ(Listing(*device->IoConfigurations()),
            (L{{0x00000001, "Normal Digital Input"},
               {0x40000002, "12-Bit Single-Ended Analog Input"},
               {0x40000003, "12-Bit Differential Analog Input"},
               {Id(0x80000004), "Normal Digital Output"},
               {Id(0xC0000005), "10-Bit Analog Output"}}));
  L points;
  for (int i = 0; i < 8; ++i) points.emplace_back(1 + i, "Digital I/O " + std::to_string(i));
  for (int i = 0; i < 8; ++i) points.emplace_back(9 + i, "Analog Input " + std::to_string(i));
  for (int i = 0; i < 4; ++i) points.emplace_back(17 + i, "Analog Output " + std::to_string(i));
  EXPECT_EQ(Listing(*device->IoPoints()), points);
  EXPECT_EQ(Listing(*device->IoConfigurationGroups()), (L{{0x20000003, "Digital Input"},
                                                          {0x20000004, "Digital Output"},
                                                          {0x20000005, "Analog Input"},
                                                          {0x20000006, "Analog Output"}}));
  EXPECT_EQ(Listing(*device->IoPointGroups()),
            (L{{0x20000001, "Digital I/O Group 0"}, {0x20000002, "Digital I/O Group 1"}}));
}

TEST_F(TreeTest, Links) {
  device->Open();
  struct Case {
    int32_t point;
    std::vector<int32_t> allowed;
  };
  const Case cases[] = {{1, {0x00000001, Id(0x80000004)}},
                        {8, {0x00000001, Id(0x80000004)}},
                        {9, {0x40000002, 0x40000003}},
                        {16, {0x40000002, 0x40000003}},
                        {17, {Id(0xC0000005)}},
                        {20, {Id(0xC0000005)}}};
  for (const auto& c : cases) {
    EXPECT_EQ(Ids(*point(c.point)->IoConfigurations()), c.allowed) << "point " << c.point;
    // Allowed configurations are the device's own objects, not copies.
    EXPECT_EQ(point(c.point)->IoConfigurations()->Item(1),
              device->IoConfigurations()->LookupWithId(c.allowed[0]));
    EXPECT_EQ(point(c.point)->AllIoConfigurations(), device->IoConfigurations());
  }
  const std::pair<int32_t, std::vector<int32_t>> groups[] = {{0x20000003, {0x00000001}},
                                                             {0x20000004, {Id(0x80000004)}},
                                                             {0x20000005, {0x40000002, 0x40000003}},
                                                             {0x20000006, {Id(0xC0000005)}}};
  for (const auto& [id, held] : groups)
    EXPECT_EQ(Ids(*device->IoConfigurationGroups()->LookupWithId(id)->IoConfigurations()), held);
  const auto pointGroups = device->IoPointGroups();
  EXPECT_EQ(Ids(*pointGroups->LookupWithId(0x20000001)->IoPoints()), (std::vector{1, 2, 3, 4}));
  EXPECT_EQ(Ids(*pointGroups->LookupWithId(0x20000002)->IoPoints()), (std::vector{5, 6, 7, 8}));
  for (const auto& group : *pointGroups)
    EXPECT_EQ(Ids(*group->IoConfigurationGroups()), (std::vector{0x20000003, 0x20000004}));
}

TEST_F(TreeTest, ItemRules) {
  device->Open();
  auto points = device->IoPoints();
  EXPECT_EQ(points->Item(int32_t{1})->ID(), 1);
  EXPECT_EQ(points->Item(int16_t{20})->ID(), 20);
  EXPECT_EQ(points->Item("Analog Input 0")->ID(), 9);
  EXPECT_EQ(points->Item(std::string("Analog Output 3"))->ID(), 20);
  EXPECT_EQ(points->Item(int64_t{12})->ID(), 12);  // a `long` holding a position

  // Zero, past Count, an unknown name, a name in another case: no such item.
  const Variant missing[] = {int32_t{0}, int32_t{21}, "Analog Input 8", "analog input 0"};
  // A double, a 64-bit position beyond 32 bits, a bool, nothing: not an index at all.
  const Variant wrong[] = {1.0, int64_t{0x100000001}, true, Variant()};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_ZDAQ_ERROR(points->Item(missing[i]), 0x80004005, "The index is invalid.",
                      "IZzIoPointCollection");
    EXPECT_ZDAQ_ERROR(points->Item(wrong[i]), 0x8004B000, "A parameter is invalid.",
                      "IZzIoPointCollection");
  }
  EXPECT_ZDAQ_ERROR(device->IoConfigurations()->Item(int32_t{6}), 0x80004005,
                    "The index is invalid.", "IZzIoConfigurationCollection");
}

TEST_F(TreeTest, CloseReleasesTheTreeAndPointsKeepNoDeviceAlive) {
  device->Open();
  auto p9 = point(9);
  std::weak_ptr<ZzDaqDevice> weak = device;
  device->Close();
  EXPECT_ZDAQ_ERROR(device->IoPoints(), 0x8004B00D, "The device is not open.", "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(p9->Configuration(), 0x8004B00D, "The device is not open.", "IZzIoPoint");
  device->Open();
  EXPECT_NE(point(9), p9);  // a fresh tree
  // Only the collection and this test hold the device; the tree does not.
  enumerator.reset();
  device.reset();
  EXPECT_TRUE(weak.expired());
  EXPECT_FALSE(sim->opened());
}

TEST(CreateObjectTest, ByProgId) {
  auto system = SimulatedSystem::create(false);
  const std::pair<const char*, const char*> classes[] = {
      {"ZDaq.ZzDaqEnum", "ZzDaqEnum"},
      {"ZDaq.ZzDaqDevice", "ZzDaqDevice"},
      {"ZDaq.ZzIoConfigurationGroup.1", "ZzIoConfigurationGroup"},
      {"ZDAQ.ZZIOPOINT.1", "ZzIoPoint"},  // names are not case-sensitive
  };
  for (const auto& [progId, cls] : classes) {
    auto object = CreateObject(progId, system->makeBackend());
    ASSERT_TRUE(object) << progId;
    EXPECT_EQ(object->ClassName(), cls) << progId;
  }
  for (const char* bad : {"ZDaq.ZzDaqEnum.2", "ZDaq.ZzDaqDeviceCollection", "ZDaqZzDaqEnum", ""})
    EXPECT_ZDAQ_ERROR(CreateObject(bad, system->makeBackend()), 0x80070057,
                      "A parameter is invalid.", "ZDaq");
  // A directly created device is bound to nothing yet.
  auto device = std::dynamic_pointer_cast<ZzDaqDevice>(
      CreateObject("ZDaq.ZzDaqDevice", system->makeBackend()));
  EXPECT_ZDAQ_ERROR(device->Name(), 0x80004005, "", "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->Interface(), 0x80004005, "", "IZzDaqDevice");
  EXPECT_ZDAQ_ERROR(device->Open(), 0x80070002, "No such file or directory", "IZzDaqDevice");
}

}  // namespace
}  // namespace zdaq::testing
