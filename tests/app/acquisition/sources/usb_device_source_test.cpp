// The USB device source against the simulated device, through the real libzdaq.
#include "app/acquisition/sources/usb_device_source.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <vector>

#include "app/acquisition/monitor_controller.h"
#include "app/acquisition/sources/source_factory.h"
#include "support/fakes.h"
#include "zdaq/driver_abi.h"
#include "zdaq/simulated.h"

namespace tidemet {
namespace {

constexpr const char* kPath = "/dev/zdaq0";

// With samples produced on command only, analog input i reads 2000 + 100 i.
constexpr int32_t kPoint9 = 2000, kPoint10 = 2100, kPoint11 = 2200, kPoint12 = 2300;

struct UsbMachine {
  std::shared_ptr<zdaq::SimulatedSystem> system =
      zdaq::SimulatedSystem::create(/*automatic=*/false);
  std::shared_ptr<zdaq::SimulatedDevice> device = system->addDevice(kPath, "ZDaq DAQ-20");
};

// The point IDs of the driver requests with this code, in order.
std::vector<int32_t> PointsOf(const zdaq::SimulatedDevice& device, uint32_t code) {
  std::vector<int32_t> ids;
  for (const auto& r : device.records())
    if (r.code == code && r.input.size() >= 4) ids.push_back(static_cast<int32_t>(r.input[0]));
  return ids;
}

TEST(UsbDeviceSourceTest, OpensAndReadsThePointsOfEachModel) {
  struct Case {
    int16_t model;
    int16_t channels;
    std::vector<int32_t> configured;  // points set to the analog input configuration
    std::vector<int32_t> read;
    std::vector<double> readings;
  };
  const std::vector<Case> cases = {
      {7, 2, {9, 10}, {9, 10}, {kPoint9, kPoint10}},
      {9, 2, {9, 10}, {}, {}},  // opened, never read
      {12, 2, {9, 10}, {9, 10}, {kPoint9, kPoint10}},
      {13, 2, {9, 10, 11, 12}, {9, 10}, {kPoint9, kPoint10}},
      {13, 4, {9, 10, 11, 12}, {9, 10, 11, 12}, {kPoint9, kPoint10, kPoint11, kPoint12}},
      {15, 2, {9, 10}, {9, 10}, {kPoint9, kPoint10}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "model " << c.model << ", " << c.channels << " channels");
    UsbMachine machine;
    DeviceMessages messages;
    UsbDeviceSource source(c.model, c.channels, messages, machine.system->makeBackend());
    EXPECT_TRUE(machine.device->opened());
    EXPECT_EQ(PointsOf(*machine.device, ZDAQ_CTL_SET_POINT_CONFIGURATION), c.configured);
    for (int32_t id : c.configured)
      EXPECT_EQ(machine.device->pointConfiguration(id), 0x40000002) << id;
    machine.device->clearRecords();
    ReadingSet r;
    source.takeReadings(r);
    EXPECT_EQ(PointsOf(*machine.device, ZDAQ_CTL_GET_POINT_VALUE), c.read);
    EXPECT_EQ(r.present, (1u << c.readings.size()) - 1);
    for (size_t i = 0; i < c.readings.size(); ++i) EXPECT_EQ(r.value[i], c.readings[i]) << i;
    EXPECT_TRUE(messages.take().empty());
  }
}

TEST(UsbDeviceSourceTest, AFailedOpenPostsTheLoadErrorBox) {
  UsbMachine machine;
  // Another program holds the device: the driver refuses a second opener.
  auto holder =
      zdaq::CreateObjectAs<zdaq::ZzDaqEnum>("ZDaq.ZzDaqEnum", machine.system->makeBackend());
  holder->Devices()->Item(int32_t{1})->Open();
  DeviceMessages messages;
  UsbDeviceSource source(7, 2, messages, machine.system->makeBackend());
  const auto shown = messages.take();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].title, "Tidemet");
  EXPECT_EQ(shown[0].text, "Error 80070010\r\nDevice or resource busy\r\nForm_Load");
  EXPECT_EQ(shown[0].icon, AlertIcon::Critical);
  ReadingSet r;
  source.takeReadings(r);
  EXPECT_EQ(r.present, 0u);
}

TEST(UsbSourceFactoryTest, TheUsbModelsHaveASourceAndTheirNeighboursNone) {
  VirtualClock clock;
  DeviceMessages messages;
  const std::pair<int16_t, bool> cases[] = {{6, false},  {7, true},   {9, true},  {15, true},
                                            {16, false}, {17, false}, {18, true}, {21, true}};
  for (const auto& [model, usb] : cases) {
    SourceSettings settings;
    settings.ModelCode = model;
    EXPECT_EQ(static_cast<bool>(MakeSourceFactory(settings, clock, messages)), usb) << model;
  }
}

// The monitor with the device, through its tick, to TrialData and a saved file.
class UsbMonitorTest : public ::testing::Test {
 protected:
  void open(std::shared_ptr<zdaq::SimulatedSystem> system) {
    s->ModelCode = 7;
    s->ChannelCount = 2;
    s->ClientName = s->DataClientName = "Client";
    monitor = std::make_unique<MonitorController>(
        *s, alerts, sink, clock, [this, system]() -> std::unique_ptr<Source> {
          return std::make_unique<UsbDeviceSource>(s->ModelCode, s->ChannelCount,
                                                   monitor->messages(), system->makeBackend());
        });
    monitor->openSynchronously();
    monitor->StartMonitor();
    monitor->StartCmd();  // record
  }
  void ticks(int n) {
    for (int i = 0; i < n; ++i) monitor->tick();
  }
  void stop() {
    clock.advance(10'000'000);
    monitor->StartCmd();
  }
  int16_t column(int k, int c) const {
    return s->TrialData[static_cast<size_t>(s->trialIndex(k, c))];
  }

  std::unique_ptr<Session> s = std::make_unique<Session>();
  RecordingAlerts alerts;
  testing::RecordingSink sink;
  VirtualClock clock;
  std::unique_ptr<MonitorController> monitor;
};

TEST_F(UsbMonitorTest, WithoutADeviceTheTrialHoldsNoOldSamplesAndTheUserIsTold) {
  s->TrialData.fill(777);  // an earlier trial
  open(zdaq::SimulatedSystem::create(false));
  ticks(20);
  stop();
  ASSERT_GT(s->SampleCount, 10);
  for (int k = 0; k <= s->SampleCount; ++k) {
    ASSERT_EQ(column(k, 0), 1000 + s->ModelOffset) << k;  // what a zero reading stores
    ASSERT_EQ(column(k, 1), 1000 + s->ModelOffset) << k;
  }
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(
      alerts.shown[0].text,
      "The interface unit did not deliver a reading.\r\nNo USB data acquisition device was found."
      "\r\nEach missing reading repeats the last value of this recording.\r\nCheck that the unit "
      "is connected, then monitor and record again.");
}

TEST_F(UsbMonitorTest, APulledDeviceKeepsTheRecordingGoingAndTheTrialSaves) {
  UsbMachine machine;
  open(machine.system);
  ticks(10);
  machine.system->removeDevice(kPath);
  ticks(10);
  EXPECT_TRUE(monitor->loop().timerEnabled());
  stop();
  EXPECT_EQ(alerts.shown.size(), 1u);  // told once, not in every tick
  EXPECT_EQ(monitor->loop().failedReadings(), 20u);
  ASSERT_EQ(s->SampleCount, 19);
  // Rows 10 to 19 repeat the last reading.
  for (int k = 0; k <= 19; ++k) {
    EXPECT_EQ(column(k, 0), 1000 + s->ModelOffset + kPoint9) << k;
    EXPECT_EQ(column(k, 1), 1000 + s->ModelOffset + kPoint10) << k;
  }
}

}  // namespace
}  // namespace tidemet
