// What the Linux driver hands the kernel: a stand-in below LinuxDriver takes the system calls
// and checks the request code, the buffers and their directions, and the sampling read's
// "nothing yet" answer.
#include <gtest/gtest.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tests/zdaq/sim_fixture.h"
#include "zdaq/driver_abi.h"
#include "zdaq/identifiers.h"
#include "zdaq/src/linux_driver.h"

namespace zdaq::testing {
namespace {

struct Seen {
  uint32_t code;
  std::vector<std::byte> input;
  uint32_t outputSize;
  bool operator==(const Seen&) const = default;
};

// Answers like the driver would; every request is recorded as it reached the kernel.
class KernelStandIn final : public KernelCalls {
 public:
  int open(const char*, int) override { return eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK); }
  int flock(int, int) override { return 0; }
  int close(int fd) override { return ::close(fd); }

  int ioctl(int, unsigned long request, void* argument) override {
    requests.push_back(request);
    // The read-write request of the driver's interface: 'Z', number 1, a 32-byte record.
    if (request != 0xC0205A01ul) {
      errno = ENOTTY;
      return -1;
    }
    auto* r = static_cast<zdaq_ioctl*>(argument);
    if ((r->in == 0 && r->in_size != 0) || (r->out == 0 && r->out_size != 0)) {
      errno = EFAULT;  // as the kernel answers a buffer it cannot reach
      return -1;
    }
    const auto* in = reinterpret_cast<const std::byte*>(static_cast<uintptr_t>(r->in));
    seen.push_back({r->code, std::vector<std::byte>(in, in + r->in_size), r->out_size});
    auto* out = reinterpret_cast<std::byte*>(static_cast<uintptr_t>(r->out));
    r->returned = 0;
    if (r->code == ZDAQ_CTL_GET_POINT_CONFIGURATION || r->code == ZDAQ_CTL_GET_POINT_VALUE) {
      uint32_t param = 0;
      std::memcpy(&param, in, 4);
      const uint32_t answer =
          r->code == ZDAQ_CTL_GET_POINT_CONFIGURATION ? 0x40000002u : 1000u + param;
      std::memcpy(out, &answer, 4);
      r->returned = 4;
    }
    if (r->code == ZDAQ_CTL_READ) {
      if (readError != 0) {
        errno = readError;
        return -1;
      }
      const int32_t samples[] = {11, 22};
      std::memcpy(out, samples, sizeof samples);
      r->returned = sizeof samples;
    }
    return 0;
  }

  std::vector<unsigned long> requests;
  std::vector<Seen> seen;
  int readError = 0;
};

class LinuxDriverSeamTest : public ::testing::Test {
 protected:
  std::shared_ptr<KernelStandIn> kernel = std::make_shared<KernelStandIn>();
  LinuxDriver driver{kernel};
};

TEST_F(LinuxDriverSeamTest, ControlsCarryTheirInputAndRoomForTheirOutput) {
  auto device = ZzDaqDevice::create(std::make_shared<LinuxDriver>(kernel));
  DeviceInternals::setIdentity(*device, "/dev/zdaq0", "stand-in");
  device->Open();
  auto p9 = device->IoPoints()->Item(int32_t{9});
  p9->Configuration(kDifferentialAnalogInput);
  EXPECT_EQ(p9->Value(), 1009);
  device->IoControl(static_cast<int32_t>(ZDAQ_CTL_SET_POINT_VALUE), 17, 512);
  const std::vector<Seen> want = {
      {ZDAQ_CTL_SET_POINT_CONFIGURATION, Words({9, 0x40000003}), 0},
      {ZDAQ_CTL_GET_POINT_CONFIGURATION, Words({9}), 4},
      {ZDAQ_CTL_GET_POINT_VALUE, Words({9}), 4},
      {ZDAQ_CTL_SET_POINT_VALUE, Words({17, 512}), 0},
  };
  EXPECT_EQ(kernel->seen, want);
  for (const unsigned long request : kernel->requests) EXPECT_EQ(request, 0xC0205A01ul);
  device->Close();
}

TEST_F(LinuxDriverSeamTest, TheSamplingReadTellsPendingFromFailed) {
  int error = 0;
  auto handle = driver.open("/dev/zdaq0", error);
  ASSERT_TRUE(handle);
  struct Case {
    int kernelError;
    ReadResult::Status status;
    uint32_t bytes;
    int error;
  };
  const Case cases[] = {
      {EAGAIN, ReadResult::Status::Pending, 0, 0},  // nothing ready yet: wait for POLLIN
      {EIO, ReadResult::Status::Failed, 0, EIO},
      {0, ReadResult::Status::Done, 8, 0},
  };
  std::vector<std::byte> region(40);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.kernelError);
    kernel->readError = c.kernelError;
    const ReadResult r = handle->beginRead(5, region);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.bytes, c.bytes);
    EXPECT_EQ(r.error, c.error);
  }
  EXPECT_EQ(kernel->seen.back(), (Seen{ZDAQ_CTL_READ, Words({5}), 40}));
  EXPECT_EQ(region[0], std::byte{11});
  // A pending read, completed once the node says it can be.
  kernel->readError = EAGAIN;
  ASSERT_EQ(handle->beginRead(3, region).status, ReadResult::Status::Pending);
  kernel->readError = 0;
  const ReadResult done = handle->completeRead();
  EXPECT_EQ(done.status, ReadResult::Status::Done);
  EXPECT_EQ(done.bytes, 8u);
  EXPECT_EQ(kernel->seen.back(), (Seen{ZDAQ_CTL_READ, Words({3}), 40}));
}

}  // namespace
}  // namespace zdaq::testing
