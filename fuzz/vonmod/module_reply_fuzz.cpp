// Module replies are outside bytes: every command is run against replies taken from the input,
// with reported lengths that may be short, long or absurd.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "vonmod/src/library.h"

namespace {

class ReplyDriver final : public vonmod::PipeDriver {
 public:
  ReplyDriver(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool available() const override { return true; }
  int32_t deviceCount(const char*) override { return 1 + next() % 3; }
  int32_t open(int32_t, const char*, const char*, int32_t) override {
    return next() == 0xFF ? vonmod::kNoPipe : nextHandle_++;
  }
  int32_t write(int32_t, const void*, int32_t, int32_t* sent, int32_t) override {
    *sent = 0;
    return next() == 0xFE ? 0 : 1;
  }
  int32_t read(int32_t, void* data, int32_t length, int32_t* received, int32_t) override {
    return serve(data, length, received);
  }
  int32_t readInt(int32_t, void* data, int32_t length, int32_t* received, int32_t) override {
    return serve(data, length, received);
  }
  void close(int32_t) override {}

  uint8_t next() { return at_ < size_ ? data_[at_++] : 0; }
  int32_t nextInt() {
    int32_t value = 0;
    for (int i = 0; i < 4; ++i)
      value = static_cast<int32_t>(static_cast<uint32_t>(value) << 8 | next());
    return value;
  }

 private:
  // A reply: one byte of reported length (0xFF: the read fails), then the bytes themselves.
  int32_t serve(void* data, int32_t length, int32_t* received) {
    const uint8_t reported = next();
    if (reported == 0xFF) {
      *received = 0;
      return 0;
    }
    // Like a real driver, copy no more than asked, but report whatever it likes.
    const int32_t copy = reported < length ? reported : length;
    for (int32_t i = 0; i < copy; ++i) static_cast<uint8_t*>(data)[i] = next();
    *received = reported;
    return 1;
  }

  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  int32_t nextHandle_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ReplyDriver driver(data, size);
  vonmod::Library library(driver);
  int32_t count = 0;
  library.enumerateDev(0, &count);
  VonmodSession session{};
  int32_t value = 0, other = 0;
  uint8_t byte0 = 0, byte1 = 0;
  std::array<char, 43> credits{};
  std::array<float, 8> volts{};
  std::array<uint8_t, 240> eeprom{};
  for (int round = 0; round < 4; ++round) {
    library.openDevice(0, driver.next() % 3, &session);
    library.getDeviceSerialNo(&session, &value);
    library.getFirmwareVersion(&session, &value);
    library.getCredits(&session, credits.data());
    library.readDevId(&session, &byte0);
    library.readSingleAnalogIn(&session, driver.next() % 9, 0, volts.data());
    const int32_t first = driver.next() % 8;
    library.readMultiAnalogIn(&session, first, 1 + driver.next() % (8 - first), volts.data());
    library.readCounter(&session, driver.next() % 2, &value);
    library.dio(&session, driver.next(), driver.next(), &byte0, &byte1, driver.next() % 2);
    library.pwmOut(&session, 1 + driver.next() % 2, driver.next() % 101, driver.nextInt() % 400);
    library.pwmOut10bit(&session, 1 + driver.next() % 2, driver.nextInt() % 1024,
                        driver.nextInt() % 400);
    library.stopPwm(&session, driver.next() % 3);
    const int32_t address = driver.next() % 241;
    const int32_t bytes = driver.next() % (241 - address);
    library.readMemory(&session, bytes, address, eeprom.data());
    library.writeMemory(&session, bytes, address, eeprom.data());
    const int32_t streamFirst = driver.next() % 8;
    const int32_t channels = 1 + driver.next() % (8 - streamFirst);
    library.aiStartStream(&session, streamFirst, channels, 16 + driver.nextInt() % 15000, &value,
                          0);
    const int32_t scans = driver.next() * 4;
    std::vector<float> stream(static_cast<size_t>(scans) * static_cast<size_t>(channels));
    library.aiGetScans(&session, scans, 0, stream.data(), &value);
    library.aiStopStream(&session);
    library.aiStartContinuous(&session, streamFirst, channels);
    library.aiStopContinuous(&session, &value, &other);
    if (driver.next() % 2) library.reset(&session);
    library.releaseDevice(&session);
  }
  return 0;
}
