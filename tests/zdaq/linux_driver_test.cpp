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
    // The read-write request of the driver's interface: 'Z', number 1, a 32-byte record.
    if (request != 0xC0205A01ul) {
      errno = ENOTTY;
      return -1;
    }
    auto* r = static_cast<zdaq_ioctl*>(argument);
    const auto* in = reinterpret_cast<const std::byte*>(static_cast<uintptr_t>(r->in));
    seen.push_back({r->code, std::vector<std::byte>(in, in + r->in_size), r->out_size});
    if (r->code == ZDAQ_CTL_READ && readError != 0) {
      errno = readError;
      return -1;
    }
    uint32_t answer[2] = {11, 22};  // a read brings two samples
    if (r->code == ZDAQ_CTL_GET_POINT_VALUE) {
      std::memcpy(&answer[0], in, 4);
      answer[0] += 1000;  // a point's value is 1000 + its ID
    }
    r->returned = r->code == ZDAQ_CTL_READ ? 8 : r->out_size;
    if (r->returned > 0)
      std::memcpy(reinterpret_cast<void*>(static_cast<uintptr_t>(r->out)), answer, r->returned);
    return 0;
  }

  std::vector<Seen> seen;
  int readError = 0;
};

class LinuxDriverSeamTest : public ::testing::Test {
 protected:
  std::shared_ptr<KernelStandIn> kernel = std::make_shared<KernelStandIn>();
  LinuxDriver driver{kernel};
};

TEST_F(LinuxDriverSeamTest, ControlsCarryTheirInputAndRoomForTheirOutput) {
  int error = 0;
  auto handle = driver.open("/dev/zdaq0", error);
  ASSERT_TRUE(handle);
  std::vector<std::byte> out(4);
  const ControlResult got = handle->control(ZDAQ_CTL_GET_POINT_VALUE, Words({9}), out);
  EXPECT_EQ(got.error, 0);
  EXPECT_EQ(got.returned, 4u);
  EXPECT_EQ(out, Words({1009}));
  EXPECT_EQ(handle->control(ZDAQ_CTL_SET_POINT_VALUE, Words({17, 512}), {}).error, 0);
  EXPECT_EQ(kernel->seen, (std::vector<Seen>{{ZDAQ_CTL_GET_POINT_VALUE, Words({9}), 4},
                                             {ZDAQ_CTL_SET_POINT_VALUE, Words({17, 512}), 0}}));
}

TEST_F(LinuxDriverSeamTest, TheSamplingReadTellsPendingFromFailed) {
  int error = 0;
  auto handle = driver.open("/dev/zdaq0", error);
  ASSERT_TRUE(handle);
  std::vector<std::byte> region(40);
  kernel->readError = EIO;
  const ReadResult failed = handle->beginRead(5, region);
  EXPECT_EQ(failed.status, ReadResult::Status::Failed);
  EXPECT_EQ(failed.error, EIO);
  kernel->readError = 0;
  const ReadResult read = handle->beginRead(5, region);
  EXPECT_EQ(read.status, ReadResult::Status::Done);
  EXPECT_EQ(read.bytes, 8u);
  EXPECT_EQ(kernel->seen.back(), (Seen{ZDAQ_CTL_READ, Words({5}), 40}));
  EXPECT_EQ(region[0], std::byte{11});
  // Nothing ready yet: pending, and completed once the node says it can be.
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
