#pragma once
// A simulated machine with one device, its enumerator and helpers shared by the libzdaq tests.

#include <gtest/gtest.h>
#include <poll.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "zdaq/enumerator.h"
#include "zdaq/error.h"
#include "zdaq/simulated.h"
#include "zdaq/src/device_internals.h"

namespace zdaq::testing {

inline constexpr int kWaitMs = 5000;  // bound on every wait; a passing test never nears it
inline constexpr const char* kPath = "/dev/zdaq0";
inline constexpr const char* kName = "ZDaq DAQ-20";

inline bool WaitReadable(int fd, int timeoutMs = kWaitMs) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, timeoutMs) == 1;
}

inline std::vector<std::byte> Bytes(std::initializer_list<unsigned> values) {
  std::vector<std::byte> out;
  for (unsigned v : values) out.push_back(static_cast<std::byte>(v));
  return out;
}

// Little-endian 32-bit fields.
inline std::vector<std::byte> Words(std::initializer_list<uint32_t> values) {
  std::vector<std::byte> out;
  for (uint32_t v : values)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::byte>(v >> (8 * i)));
  return out;
}

struct CountingDeviceSink : ZzDaqDeviceEvents {
  void OnDataAvailable() override { log.push_back('D'); }
  void OnChange() override { log.push_back('C'); }
  std::string log;
};

struct CountingEnumSink : ZzDaqEnumEvents {
  void OnChange() override { ++changes; }
  int changes = 0;
};

// Expects body to throw zdaq::Error with exactly this HRESULT, text and source.
#define EXPECT_ZDAQ_ERROR(body, want_hr, want_text, want_source)              \
  do {                                                                        \
    try {                                                                     \
      body;                                                                   \
      ADD_FAILURE() << #body " did not throw";                                \
    } catch (const ::zdaq::Error& e) {                                        \
      EXPECT_EQ(e.hresult(), static_cast<::zdaq::HRESULT>(want_hr)) << #body; \
      EXPECT_EQ(e.description(), std::string(want_text)) << #body;            \
      EXPECT_EQ(e.source(), std::string(want_source)) << #body;               \
    }                                                                         \
  } while (0)

class SimulatedDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    system = SimulatedSystem::create(/*automatic=*/false);
    sim = system->addDevice(kPath, kName);
    enumerator =
        std::dynamic_pointer_cast<ZzDaqEnum>(CreateObject("ZDaq.ZzDaqEnum", system->makeBackend()));
    ASSERT_TRUE(enumerator);
    device = enumerator->Devices()->Item(1);
  }

  std::shared_ptr<ZzIoPoint> point(int32_t id) { return device->IoPoints()->LookupWithId(id); }
  // The device delivers count more samples and the library takes them in.
  void produceAndWait(uint32_t count) {
    const uint64_t before = DeviceInternals::samplesAccepted(*device);
    sim->produce(count);
    ASSERT_TRUE(DeviceInternals::waitSamplesAccepted(*device, before + count,
                                                     std::chrono::milliseconds(kWaitMs)));
  }

  std::shared_ptr<SimulatedSystem> system;
  std::shared_ptr<SimulatedDevice> sim;
  std::shared_ptr<ZzDaqEnum> enumerator;
  std::shared_ptr<ZzDaqDevice> device;
};

}  // namespace zdaq::testing
