// U3 replies are outside bytes. The input is read twice: whole, by every reply parser (from a
// buffer of exactly its size, so that a read past the packet is caught), and cut into replies
// that a U3 on a transport gives to the UD calls of an opening and a few ticks.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/labjackud/usb/u3_calibration.h"
#include "platform/labjackud/usb/u3_protocol.h"
#include "platform/labjackud/usb/ud_driver.h"

namespace {

using namespace labjack;

// Serves replies from the input: a length byte, then that many bytes; a length byte of 0xFF is
// no reply, 0xFE an unplugged U3.
class InputTransport final : public Transport {
 public:
  InputTransport(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  TransferStatus send(std::span<const uint8_t>, int) override { return TransferStatus::Ok; }
  TransferStatus receive(std::span<uint8_t> buffer, size_t& received, int) override {
    received = 0;
    if (at_ >= size_) return TransferStatus::Timeout;
    const uint8_t length = data_[at_++];
    if (length == 0xFF) return TransferStatus::Timeout;
    if (length == 0xFE) return TransferStatus::Gone;
    const size_t n = std::min<size_t>({length, size_ - at_, buffer.size()});
    std::copy_n(data_ + at_, n, buffer.begin());
    at_ += n;
    received = n;
    return TransferStatus::Ok;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

class InputBus final : public Bus {
 public:
  InputBus(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  std::unique_ptr<Transport> openFirstU3(OpenStatus& status) override {
    if (opened_++ > 1) {
      status = OpenStatus::NotFound;
      return nullptr;
    }
    status = OpenStatus::Opened;
    return std::make_unique<InputTransport>(data_, size_);
  }

 private:
  const uint8_t* data_;
  size_t size_;
  int opened_ = 0;
};

void parseWhole(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> exact(data, data + size);
  const std::span<const uint8_t> bytes(exact);
  u3::U3Info info;
  u3::ParseConfigU3Reply(bytes, info);
  uint8_t fio = 0, eio = 0;
  u3::ParseConfigIoReply(bytes, fio, eio);
  std::array<uint8_t, u3::kCalBlockBytes> block{};
  if (u3::ParseReadCalReply(bytes, block).fault == u3::ReplyFault::None) {
    u3::Calibration cal;
    for (int b = 0; b < 5; ++b) u3::ApplyCalibrationBlock(cal, b, block);
  }
  std::array<uint16_t, u3::kMaxAinPerFeedback> raw{};
  for (size_t n : {size_t{0}, size_t{1}, size_t{4}, u3::kMaxAinPerFeedback})
    u3::ParseFeedbackAinReply(bytes, size > 8 ? exact[8] : 0, std::span(raw).first(n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  parseWhole(data, size);
  InputBus bus(data, size);
  DriverOptions options;
  options.notice = [](const std::string&) {};
  options.freshFor = std::chrono::hours(1);
  UdDriver driver(bus, options);
  LJ_HANDLE h = 0;
  if (driver.open(LJ_dtU3, LJ_ctUSB, "1", 1, &h) != LJE_NOERROR) return 0;
  driver.put(h, LJ_ioPIN_CONFIGURATION_RESET, 0, 0, 0);
  double lines = 15.0;
  driver.get(h, LJ_ioPUT_ANALOG_ENABLE_PORT, 0, &lines, 16);
  for (int tick = 0; tick < 4; ++tick) {
    double v = 0;
    driver.get(h, LJ_ioGET_AIN, 0, &v, 0);
    driver.get(h, LJ_ioGET_AIN, 1, &v, 0);
    driver.get(h, LJ_ioGET_AIN_DIFF, 2, &v, 32);
    driver.get(h, LJ_ioGET_AIN_DIFF, 3, &v, 32);
  }
  return 0;
}
