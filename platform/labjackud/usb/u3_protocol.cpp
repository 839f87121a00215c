#include "platform/labjackud/usb/u3_protocol.h"

#include <algorithm>

namespace labjack::u3 {
namespace {

constexpr size_t kHeader = 6;

void putWord(Packet& p, size_t at, uint16_t v) {
  p.bytes[at] = static_cast<uint8_t>(v & 0xFF);
  p.bytes[at + 1] = static_cast<uint8_t>(v >> 8);
}

uint16_t word(std::span<const uint8_t> b, size_t at) {
  return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}

Reply faultOf(ReplyFault fault, uint8_t errorCode = 0) {
  Reply r;
  r.fault = fault;
  r.errorCode = errorCode;
  return r;
}

}  // namespace

uint8_t Checksum8(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  for (uint8_t b : bytes) sum += b;
  for (int fold = 0; fold < 2; ++fold) sum = (sum & 0xFF) + (sum >> 8);
  return static_cast<uint8_t>(sum);
}

uint16_t Checksum16(std::span<const uint8_t> bytes) {
  uint32_t sum = 0;
  for (uint8_t b : bytes) sum += b;
  return static_cast<uint16_t>(sum & 0xFFFF);
}

void SealExtended(Packet& p, uint8_t command) {
  p.size = std::max(p.size, kHeader);
  if (p.size % 2 != 0) p.bytes[p.size++] = 0;
  p.bytes[1] = kExtended;
  p.bytes[2] = static_cast<uint8_t>((p.size - kHeader) / 2);
  p.bytes[3] = command;
  putWord(p, 4, Checksum16(std::span<const uint8_t>(p.bytes).subspan(kHeader, p.size - kHeader)));
  p.bytes[0] = Checksum8(std::span<const uint8_t>(p.bytes).subspan(1, 5));
}

Packet ConfigU3Command() {
  Packet p;
  p.size = kHeader + 2 * kConfigU3CommandWords;  // write masks 0: nothing goes to flash
  SealExtended(p, kConfigU3);
  return p;
}

Packet ConfigIoCommand(uint8_t writeMask, uint8_t timerCounter, uint8_t fioAnalog,
                       uint8_t eioAnalog) {
  Packet p;
  p.bytes[6] = writeMask;
  p.bytes[8] = timerCounter;
  p.bytes[10] = fioAnalog;
  p.bytes[11] = eioAnalog;
  p.size = kHeader + 2 * kConfigIoWords;
  SealExtended(p, kConfigIo);
  return p;
}

Packet ReadCalCommand(uint8_t block) {
  Packet p;
  p.bytes[7] = block;
  p.size = kHeader + 2 * kReadCalCommandWords;
  SealExtended(p, kReadCal);
  return p;
}

Packet FeedbackAinCommand(uint8_t echo, std::span<const AinRequest> inputs) {
  Packet p;
  p.bytes[6] = echo;
  p.size = kHeader + 1;
  for (const AinRequest& in : inputs.first(std::min(inputs.size(), kMaxAinPerFeedback))) {
    p.bytes[p.size++] = kAinIoType;
    p.bytes[p.size++] = static_cast<uint8_t>(in.positive & 0x1F);
    p.bytes[p.size++] = in.negative;
  }
  SealExtended(p, kFeedback);
  return p;
}

Reply ParseExtendedReply(std::span<const uint8_t> b, uint8_t command, size_t words) {
  Reply r;
  if (b.size() == 2 && b[0] == 0xB8 && b[1] == 0xB8) return faultOf(ReplyFault::CommandRejected);
  if (b.size() < kHeader + 2) return faultOf(ReplyFault::Short);
  const size_t announced = kHeader + 2 * size_t{b[2]};
  if (b.size() < announced) return faultOf(ReplyFault::Short);
  if (Checksum8(b.subspan(1, 5)) != b[0]) return faultOf(ReplyFault::BadChecksum);
  if (Checksum16(b.subspan(kHeader, announced - kHeader)) != word(b, 4))
    return faultOf(ReplyFault::BadChecksum);
  if (b[1] != kExtended || b[3] != command) return faultOf(ReplyFault::WrongCommand);
  // A refusal may come shorter than the full reply; its code is all it carries.
  if (b[6] != 0) return faultOf(ReplyFault::DeviceError, b[6]);
  if (b[2] != words) return faultOf(ReplyFault::WrongLength);
  r.data = b.subspan(kHeader, announced - kHeader);
  return r;
}

Reply ParseConfigU3Reply(std::span<const uint8_t> bytes, U3Info& info) {
  Reply r = ParseExtendedReply(bytes, kConfigU3, kConfigU3ReplyWords);
  if (r.fault != ReplyFault::None) return r;
  const auto d = r.data;  // byte k of the reply is d[k - 6]
  info.firmware = word(d, 3);
  info.hardware = word(d, 7);
  info.serial = static_cast<uint32_t>(d[9]) | static_cast<uint32_t>(d[10]) << 8 |
                static_cast<uint32_t>(d[11]) << 16 | static_cast<uint32_t>(d[12]) << 24;
  info.productId = word(d, 13);
  info.localId = d[15];
  info.fioAnalog = d[17];
  info.eioAnalog = d[20];
  info.versionInfo = d[31];
  return r;
}

Reply ParseConfigIoReply(std::span<const uint8_t> bytes, uint8_t& fioAnalog, uint8_t& eioAnalog) {
  Reply r = ParseExtendedReply(bytes, kConfigIo, kConfigIoWords);
  if (r.fault != ReplyFault::None) return r;
  fioAnalog = r.data[4];
  eioAnalog = r.data[5];
  return r;
}

Reply ParseReadCalReply(std::span<const uint8_t> bytes, std::span<uint8_t, kCalBlockBytes> block) {
  Reply r = ParseExtendedReply(bytes, kReadCal, kReadCalReplyWords);
  if (r.fault != ReplyFault::None) return r;
  std::copy_n(r.data.begin() + 2, kCalBlockBytes, block.begin());
  return r;
}

Reply ParseFeedbackAinReply(std::span<const uint8_t> bytes, uint8_t echo, std::span<uint16_t> raw) {
  const size_t n = std::min(raw.size(), kMaxAinPerFeedback);
  // Errorcode, ErrorFrame, Echo, two bytes per input, padded to whole words.
  const size_t words = (3 + 2 * n + 1) / 2;
  Reply r = ParseExtendedReply(bytes, kFeedback, words);
  if (r.fault != ReplyFault::None) return r;
  if (r.data[2] != echo) return faultOf(ReplyFault::WrongEcho);
  for (size_t i = 0; i < n; ++i) raw[i] = word(r.data, 3 + 2 * i);
  return r;
}

}  // namespace labjack::u3
