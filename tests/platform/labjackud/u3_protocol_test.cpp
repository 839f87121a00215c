#include "platform/labjackud/usb/u3_protocol.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/labjackud/usb/u3_calibration.h"

namespace labjack::u3 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const Packet& p) {
  return {p.bytes.begin(), p.bytes.begin() + static_cast<long>(p.size)};
}

// Recomputes both checksums after a test changed a reply's bytes.
Bytes resealed(Bytes b) {
  Packet p;
  std::copy(b.begin(), b.end(), p.bytes.begin());
  p.size = b.size();
  SealExtended(p, b[3]);
  return bytesOf(p);
}

TEST(U3ProtocolTest, CommandsCarryTheirHeaderChecksumsAndPadding) {
  const std::array<AinRequest, 4> tick{{{0, 31}, {1, 31}, {2, 30}, {3, 30}}};
  const std::array<AinRequest, 1> one{{{0, 31}}};
  struct Case {
    const char* name;
    Packet packet;
    Bytes expected;
  } cases[] = {
      {"one single-ended input, echo 0",
       FeedbackAinCommand(0, one),
       {0x1B, 0xF8, 0x02, 0x00, 0x20, 0x00, 0x00, 0x01, 0x00, 0x1F}},
      {"the four inputs of a tick, echo 7, one pad byte",
       FeedbackAinCommand(7, tick),
       {0x8B, 0xF8, 0x07, 0x00, 0x8B, 0x00, 0x07, 0x01, 0x00, 0x1F,
        0x01, 0x01, 0x1F, 0x01, 0x02, 0x1E, 0x01, 0x03, 0x1E, 0x00}},
      {"ConfigIO: FIO0-3 analog",
       ConfigIoCommand(0x0C, 0, 0x0F, 0x00),
       {0x22, 0xF8, 0x03, 0x0B, 0x1B, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x0F, 0x00}},
      {"calibration block 2", ReadCalCommand(2), {0x29, 0xF8, 0x01, 0x2D, 0x02, 0x00, 0x00, 0x02}},
  };
  for (const auto& c : cases) EXPECT_EQ(bytesOf(c.packet), c.expected) << c.name;

  const Bytes config = bytesOf(ConfigU3Command());
  ASSERT_EQ(config.size(), 26u);
  EXPECT_EQ(Bytes(config.begin(), config.begin() + 6), (Bytes{0x0B, 0xF8, 0x0A, 0x08, 0, 0}));
  // The header checksum folds its carries twice: 0x2FF -> 0x101 -> 0x02.
  EXPECT_EQ(Checksum8(Bytes{0xFF, 0xFF, 0xFF, 0x02}), 0x02);
}

TEST(U3ProtocolTest, FeedbackRepliesAreTrustedOnlyWhenWhole) {
  const Bytes good{0xAB, 0xF8, 0x03, 0x00, 0xAF, 0x00, 0x00, 0x00, 0x00, 0x20, 0x8F, 0x00};
  Bytes wrongCommand = good;
  wrongCommand[3] = 0x0B;
  Bytes wrongEcho = good;
  wrongEcho[8] = 5;
  Bytes refused = good;
  refused[6] = 40;
  refused[7] = 1;
  Bytes badHeader = good;
  badHeader[0] ^= 1;
  Bytes badData = good;
  badData[10] ^= 1;
  struct Case {
    const char* name;
    Bytes reply;
    size_t inputs;
    ReplyFault fault;
    uint8_t errorCode;
  } cases[] = {
      {"whole", good, 1, ReplyFault::None, 0},
      {"empty", {}, 1, ReplyFault::Short, 0},
      {"cut short", Bytes(good.begin(), good.begin() + 11), 1, ReplyFault::Short, 0},
      {"the U3 saw a bad checksum", {0xB8, 0xB8}, 1, ReplyFault::CommandRejected, 0},
      {"header checksum", badHeader, 1, ReplyFault::BadChecksum, 0},
      {"data checksum", badData, 1, ReplyFault::BadChecksum, 0},
      {"another command", resealed(wrongCommand), 1, ReplyFault::WrongCommand, 0},
      {"another Feedback's echo", resealed(wrongEcho), 1, ReplyFault::WrongEcho, 0},
      {"the U3's error code", resealed(refused), 1, ReplyFault::DeviceError, 40},
      {"fewer inputs than asked", good, 2, ReplyFault::WrongLength, 0},
  };
  for (const auto& c : cases) {
    std::array<uint16_t, 2> raw{7, 7};
    const Reply r = ParseFeedbackAinReply(c.reply, 0, std::span(raw).first(c.inputs));
    EXPECT_EQ(r.fault, c.fault) << c.name;
    EXPECT_EQ(r.errorCode, c.errorCode) << c.name;
    EXPECT_EQ(raw[0], c.fault == ReplyFault::None ? 36640 : 7) << c.name;
  }
}

TEST(U3ProtocolTest, ConfigurationAndCalibrationRepliesAreRead) {
  Bytes config(38, 0);
  config[1] = 0xF8;
  config[2] = 0x10;
  config[3] = 0x08;
  config[15] = 0x39;  // serial 320012345 = 0x13130039
  config[16] = 0x00;
  config[17] = 0x13;
  config[18] = 0x13;
  config[19] = 3;  // product ID
  config[21] = 4;  // local ID
  config[23] = 0x0F;
  config[26] = 0x01;
  config[37] = 34;  // U3-HV
  U3Info info;
  ASSERT_EQ(ParseConfigU3Reply(resealed(config), info).fault, ReplyFault::None);
  EXPECT_EQ(info.serial, 320012345u);
  EXPECT_EQ(info.productId, 3);
  EXPECT_EQ(info.localId, 4);
  EXPECT_EQ(info.fioAnalog, 0x0F);
  EXPECT_EQ(info.eioAnalog, 0x01);
  EXPECT_TRUE(info.highVoltage());

  Bytes cal(40, 0);
  cal[1] = 0xF8;
  cal[2] = 0x11;
  cal[3] = 0x2D;
  cal[8 + 4] = 1;  // the first constant is 1.0
  std::array<uint8_t, kCalBlockBytes> block{};
  ASSERT_EQ(ParseReadCalReply(resealed(cal), block).fault, ReplyFault::None);
  EXPECT_EQ(block[4], 1);
  EXPECT_EQ(ParseReadCalReply(Bytes(cal.begin(), cal.begin() + 20), block).fault,
            ReplyFault::Short);
}

TEST(U3CalibrationTest, FixedPointConstantsDecode) {
  struct Case {
    std::array<uint8_t, 8> bytes;
    double value;
  } cases[] = {
      {{0, 0, 0, 0, 1, 0, 0, 0}, 1.0},         {{0, 0, 0, 0, 255, 255, 255, 255}, -1.0},
      {{51, 51, 51, 51, 0, 0, 0, 0}, 0.2},     {{205, 204, 204, 204, 255, 255, 255, 255}, -0.2},
      {{225, 122, 20, 110, 2, 0, 0, 0}, 2.43}, {{102, 102, 102, 38, 42, 1, 0, 0}, 298.15},
  };
  for (const auto& c : cases) EXPECT_NEAR(FixedPointToDouble(c.bytes), c.value, 1e-9);
}

TEST(U3CalibrationTest, RawReadingsBecomeVolts) {
  Calibration read;
  read.seSlope = 3.8e-05;
  read.seOffset = 0.01;
  read.hvSlope[1] = 3.2e-04;
  read.hvOffset[1] = -10.5;
  const Calibration nominal;
  struct Case {
    const char* name;
    const Calibration& cal;
    bool hv;
    int positive;
    InputKind kind;
    uint16_t raw;
    double volts;
  } cases[] = {
      {"single-ended, nominal", nominal, false, 0, InputKind::SingleEnded, 36640, 1.36414384},
      {"single-ended, read constants", read, false, 0, InputKind::SingleEnded, 10000, 0.39},
      {"differential mid-scale", nominal, false, 2, InputKind::Differential, 32768, 0.00000358},
      {"special range adds Vref", nominal, false, 2, InputKind::Special, 0, 0.0},
      {"special range top", nominal, false, 3, InputKind::Special, 65535, 4.879933},
      {"U3-HV input 1", read, true, 1, InputKind::SingleEnded, 40000, 2.3},
      {"U3-HV, a low-voltage input", read, true, 5, InputKind::SingleEnded, 10000, 0.39},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(RawToVolts(c.cal, c.hv, c.positive, c.kind, c.raw), c.volts, 1e-5) << c.name;
}

TEST(U3CalibrationTest, ErasedOrAbsurdBlocksAreRefused) {
  Calibration cal;
  std::array<uint8_t, 32> erased;
  erased.fill(0xFF);
  EXPECT_FALSE(ApplyCalibrationBlock(cal, 0, erased));
  EXPECT_FALSE(ApplyCalibrationBlock(cal, 2, erased));
  EXPECT_DOUBLE_EQ(cal.seSlope, Calibration{}.seSlope);
  // Block 2 holds the temperature slope, then Vref 2.43.
  std::array<uint8_t, 32> block2{};
  const std::array<uint8_t, 8> vref{225, 122, 20, 110, 2, 0, 0, 0};
  std::copy(vref.begin(), vref.end(), block2.begin() + 8);
  EXPECT_TRUE(ApplyCalibrationBlock(cal, 2, block2));
  EXPECT_NEAR(cal.vref, 2.43, 1e-9);
}

}  // namespace
}  // namespace labjack::u3
