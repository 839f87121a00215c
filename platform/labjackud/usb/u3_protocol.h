#pragma once
// The U3's low-level command frames: building the commands the UD calls need and checking the
// replies, which are outside bytes and trusted only after their length, checksums, command
// number and echo have been checked. No USB here: packets in, packets out.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace labjack::u3 {

inline constexpr size_t kMaxPacket = 64;
inline constexpr uint8_t kExtended = 0xF8;
inline constexpr uint16_t kProductId = 3;

// Extended command numbers.
inline constexpr uint8_t kFeedback = 0x00;
inline constexpr uint8_t kConfigU3 = 0x08;
inline constexpr uint8_t kConfigIo = 0x0B;
inline constexpr uint8_t kReadCal = 0x2D;

// Data words (two bytes each, after the six header bytes) of the fixed-size frames.
inline constexpr size_t kConfigU3CommandWords = 10;
inline constexpr size_t kConfigU3ReplyWords = 16;
inline constexpr size_t kConfigIoWords = 3;
inline constexpr size_t kReadCalCommandWords = 1;
inline constexpr size_t kReadCalReplyWords = 17;
inline constexpr size_t kCalBlockBytes = 32;

// Feedback IOType of one analog input: positive channel, negative channel.
inline constexpr uint8_t kAinIoType = 1;
inline constexpr uint8_t kNegativeSingleEnded = 31;
inline constexpr uint8_t kNegativeVref = 30;
// Room in one Feedback: 57 command bytes after the echo hold 19 inputs, 55 reply bytes 27.
inline constexpr size_t kMaxAinPerFeedback = 16;

// ConfigIO write-mask bits.
inline constexpr uint8_t kWriteTimerCounter = 0x01;
inline constexpr uint8_t kWriteFioAnalog = 0x04;
inline constexpr uint8_t kWriteEioAnalog = 0x08;
// Timers and counters off, their pins at the U3's default offset 4.
inline constexpr uint8_t kTimerCounterOff = 0x40;

struct Packet {
  std::array<uint8_t, kMaxPacket> bytes{};
  size_t size = 0;
  std::span<const uint8_t> view() const { return {bytes.data(), size}; }
};

struct AinRequest {
  uint8_t positive = 0;
  uint8_t negative = kNegativeSingleEnded;
  bool operator==(const AinRequest&) const = default;
};

// Sum of the bytes with the carries folded back in twice, as the U3 computes it.
uint8_t Checksum8(std::span<const uint8_t> bytes);
uint16_t Checksum16(std::span<const uint8_t> bytes);

// Pads the data to whole words, then writes the header (0xF8, words, command) and both checksums.
// `packet.size` counts the header and the data written so far.
void SealExtended(Packet& packet, uint8_t command);

Packet ConfigU3Command();  // reads the configuration, writes nothing
Packet ConfigIoCommand(uint8_t writeMask, uint8_t timerCounter, uint8_t fioAnalog,
                       uint8_t eioAnalog);
Packet ReadCalCommand(uint8_t block);
// At most kMaxAinPerFeedback inputs; more are left out.
Packet FeedbackAinCommand(uint8_t echo, std::span<const AinRequest> inputs);

enum class ReplyFault {
  None,
  Short,            // fewer bytes than a header, or than the words it announces
  CommandRejected,  // the U3's two-byte answer to a command with a bad checksum
  BadChecksum,
  WrongCommand,  // not an extended reply to the command sent
  WrongLength,   // another number of data words than the command's reply has
  WrongEcho,     // a Feedback reply to another Feedback (a late reply)
  DeviceError,   // the U3 refused the command; its code is in `errorCode`
};

struct Reply {
  ReplyFault fault = ReplyFault::None;
  uint8_t errorCode = 0;
  std::span<const uint8_t> data;  // the bytes after the header, valid only without a fault
};

// Checks a reply to extended command `command`; `words` is its data length in words.
Reply ParseExtendedReply(std::span<const uint8_t> bytes, uint8_t command, size_t words);

struct U3Info {
  uint16_t firmware = 0;  // low byte integer part, high byte fraction, as the U3 sends them
  uint16_t hardware = 0;
  uint32_t serial = 0;
  uint16_t productId = 0;
  uint8_t localId = 0;
  uint8_t fioAnalog = 0;
  uint8_t eioAnalog = 0;
  uint8_t versionInfo = 0;
  bool highVoltage() const { return (versionInfo & 0x20) != 0; }
};

Reply ParseConfigU3Reply(std::span<const uint8_t> bytes, U3Info& info);
// ConfigIO answers with the lines' analog bits as they now are.
Reply ParseConfigIoReply(std::span<const uint8_t> bytes, uint8_t& fioAnalog, uint8_t& eioAnalog);
Reply ParseReadCalReply(std::span<const uint8_t> bytes, std::span<uint8_t, kCalBlockBytes> block);
// `raw` receives one reading per input asked for; its size is the number of inputs sent.
Reply ParseFeedbackAinReply(std::span<const uint8_t> bytes, uint8_t echo, std::span<uint16_t> raw);

}  // namespace labjack::u3
