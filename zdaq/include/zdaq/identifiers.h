#pragma once
// Identifiers of the fixed tree a device builds when it opens.

#include <cstdint>

namespace zdaq {

// A 32-bit ID as the automation interface's `long` carries it.
constexpr int32_t Id(uint32_t bits) { return static_cast<int32_t>(bits); }

// Configuration ID flags; group IDs carry kGroupFlag.
inline constexpr uint32_t kOutputFlag = 0x80000000;
inline constexpr uint32_t kAnalogFlag = 0x40000000;
inline constexpr uint32_t kGroupFlag = 0x20000000;

inline constexpr int32_t kNormalDigitalInput = Id(0x00000001);
inline constexpr int32_t kSingleEndedAnalogInput = Id(0x40000002);
inline constexpr int32_t kDifferentialAnalogInput = Id(0x40000003);
inline constexpr int32_t kNormalDigitalOutput = Id(0x80000004);
inline constexpr int32_t kAnalogOutput = Id(0xC0000005);

inline constexpr int32_t kDigitalIoGroup0 = Id(0x20000001);
inline constexpr int32_t kDigitalIoGroup1 = Id(0x20000002);
inline constexpr int32_t kDigitalInputGroup = Id(0x20000003);
inline constexpr int32_t kDigitalOutputGroup = Id(0x20000004);
inline constexpr int32_t kAnalogInputGroup = Id(0x20000005);
inline constexpr int32_t kAnalogOutputGroup = Id(0x20000006);

// Point IDs: 1..8 digital I/O, 9..16 analog inputs, 17..20 analog outputs.
inline constexpr int32_t kFirstDigitalPoint = 1;
inline constexpr int32_t kFirstAnalogInputPoint = 9;
inline constexpr int32_t kFirstAnalogOutputPoint = 17;
inline constexpr int32_t kPointCount = 20;

// Sample markers: each fills a whole sample.
inline constexpr int32_t kSamplesDroppedMarker = Id(0x80000000);  // older samples dropped
inline constexpr int32_t kFailedReadMarker = Id(0x80000001);      // a driver read failed

// The device-interface class of the driver (udev property ZDAQ_INTERFACE_CLASS, informative).
inline constexpr const char* kDeviceInterfaceClass = "{09774B76-CF7B-43DC-80BF-02A379EB0E2E}";

}  // namespace zdaq
