#include "platform/labjackud/usb/u3_device.h"

#include <algorithm>
#include <array>
#include <utility>

namespace labjack {

using u3::Reply;
using u3::ReplyFault;

LJ_ERROR ReplyError(const Reply& reply) {
  switch (reply.fault) {
    case ReplyFault::None:
      return LJE_NOERROR;
    case ReplyFault::CommandRejected:
    case ReplyFault::BadChecksum:
      return LJE_CHECKSUM_ERROR;
    case ReplyFault::DeviceError:
      return LJE_DEVICE_ERROR_BASE + reply.errorCode;
    case ReplyFault::Short:
    case ReplyFault::WrongCommand:
    case ReplyFault::WrongLength:
    case ReplyFault::WrongEcho:
      return LJE_COMM_FAILURE;
  }
  return LJE_UNKNOWN_ERROR;
}

U3Device::U3Device(std::unique_ptr<Transport> transport, Timeouts timeouts)
    : transport_(std::move(transport)), timeouts_(timeouts) {}

template <typename Parse>
LJ_ERROR U3Device::transact(const u3::Packet& command, int timeoutMs, Parse&& parse) {
  if (gone_ || !transport_) return LJE_COMM_FAILURE;
  auto failed = [this](TransferStatus s) {
    if (s == TransferStatus::Gone) gone_ = true;
    return s == TransferStatus::Timeout ? LJE_COMM_TIMEOUT : LJE_COMM_FAILURE;
  };
  TransferStatus s = transport_->send(command.view(), timeoutMs);
  if (s != TransferStatus::Ok) return failed(s);
  std::array<uint8_t, u3::kMaxPacket> buffer{};
  // A reply that came after its command timed out arrives ahead of this one: skip it once.
  for (int attempt = 0; attempt < 2; ++attempt) {
    size_t got = 0;
    s = transport_->receive(buffer, got, timeoutMs);
    if (s != TransferStatus::Ok) return failed(s);
    const Reply reply =
        parse(std::span<const uint8_t>(buffer.data(), std::min(got, buffer.size())));
    if (reply.fault != ReplyFault::WrongEcho) return ReplyError(reply);
  }
  return LJE_COMM_FAILURE;
}

LJ_ERROR U3Device::start() {
  LJ_ERROR code =
      transact(u3::ConfigU3Command(), timeouts_.commandMs,
               [this](std::span<const uint8_t> b) { return u3::ParseConfigU3Reply(b, info_); });
  if (code != LJE_NOERROR) return code;
  if (info_.productId != u3::kProductId) return LJE_INVALID_DEVICE_TYPE;
  analogLines_ = static_cast<uint16_t>(info_.fioAnalog | info_.eioAnalog << 8);
  nominal_ = !readCalibration();
  if (nominal_) calibration_ = u3::Calibration{};
  return gone_ ? LJE_COMM_FAILURE : LJE_NOERROR;
}

bool U3Device::readCalibration() {
  u3::Calibration read;
  const bool hv = info_.highVoltage();
  for (int block : {0, 2, 3, 4}) {
    if (block >= 3 && !hv) break;
    std::array<uint8_t, u3::kCalBlockBytes> bytes{};
    const LJ_ERROR code =
        transact(u3::ReadCalCommand(static_cast<uint8_t>(block)), timeouts_.commandMs,
                 [&bytes](std::span<const uint8_t> b) { return u3::ParseReadCalReply(b, bytes); });
    if (code != LJE_NOERROR || !u3::ApplyCalibrationBlock(read, block, bytes)) return false;
  }
  calibration_ = read;
  return true;
}

LJ_ERROR U3Device::writeConfigIo(uint8_t mask, uint8_t timerCounter, uint16_t lines) {
  uint8_t fio = 0;
  uint8_t eio = 0;
  const LJ_ERROR code =
      transact(u3::ConfigIoCommand(mask, timerCounter, static_cast<uint8_t>(lines & 0xFF),
                                   static_cast<uint8_t>(lines >> 8)),
               timeouts_.commandMs,
               [&](std::span<const uint8_t> b) { return u3::ParseConfigIoReply(b, fio, eio); });
  if (code == LJE_NOERROR) analogLines_ = static_cast<uint16_t>(fio | eio << 8);
  return code;
}

LJ_ERROR U3Device::setAnalogLines(uint16_t lines) {
  return writeConfigIo(u3::kWriteFioAnalog | u3::kWriteEioAnalog, 0, lines);
}

LJ_ERROR U3Device::resetPins() {
  return writeConfigIo(u3::kWriteTimerCounter | u3::kWriteFioAnalog | u3::kWriteEioAnalog,
                       u3::kTimerCounterOff, 0);
}

LJ_ERROR U3Device::readAnalog(std::span<const u3::AinRequest> inputs, std::span<uint16_t> raw) {
  const uint8_t echo = ++echo_;
  return transact(u3::FeedbackAinCommand(echo, inputs), timeouts_.feedbackMs,
                  [&](std::span<const uint8_t> b) {
                    return u3::ParseFeedbackAinReply(b, echo, raw.first(inputs.size()));
                  });
}

}  // namespace labjack
