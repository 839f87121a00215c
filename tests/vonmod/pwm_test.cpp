// PWM timing: the period register, prescaler and 10-bit duty that reach the module.

#include "tests/vonmod/sim_fixture.h"

namespace vonmod_test {
namespace {

class PwmTest : public SimModuleTest {};

// A refused call sends nothing and leaves the session open.
TEST_F(PwmTest, PeriodAndDutyBytesOrRefusal) {
  struct Case {
    bool tenBit;
    int32_t channel;
    int32_t duty;
    int32_t periodUs;
    int32_t result;
    Bytes wire;  // channel, period register, duty bits 9..8, duty bits 7..0, prescaler
  };
  const Case cases[] = {
      {false, 1, 50, 20, 0, {0x53, 1, 240, 1, 0xE2, 1}},     // D = 482
      {false, 2, 100, 20, 0, {0x53, 2, 240, 3, 0xC4, 1}},    // D = 964
      {false, 1, 100, 340, 0, {0x53, 1, 255, 3, 0xFF, 16}},  // register 255: 100 % is 1023
      {false, 1, 33, 340, 0, {0x53, 1, 255, 1, 0x52, 16}},   // trunc(337.92 + 0.499) = 338
      {true, 1, 1023, 340, 0, {0x53, 1, 255, 3, 0xFF, 16}},  // sent as given
      {true, 2, 700, 20, 0, {0x53, 2, 240, 2, 0x93, 1}},     // trunc(658.82 + 0.499) = 659
      {true, 0x101, 0, 21, 0, {0x53, 1, 252, 0, 0, 1}},      // channel goes as its low byte
      {true, 1, 512, 85, 0, {0x53, 1, 255, 2, 0x00, 4}},     // 1020 ticks / 4 = 255
      {false, 1, 50, 341, 22, {}},                           // register would round to 256
      {false, 1, 50, 342, 22, {}},
      {false, 3, 50, 20, 11, {}},
      {true, 0x100, 50, 20, 11, {}},
      {false, 1, 101, 20, 14, {}},
      {false, 1, -1, 20, 14, {}},
      {true, 1, 1024, 20, 14, {}},
      {false, 3, 101, 342, 11, {}},  // the channel is checked first
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.channel << " " << c.duty << " @ " << c.periodUs);
    sim->clearCalls();
    const int32_t result = c.tenBit ? Vonmod_10bitPWMOut(&session, c.channel, c.duty, c.periodUs)
                                    : Vonmod_PWMOut(&session, c.channel, c.duty, c.periodUs);
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(sim->requests(), c.wire.empty() ? std::vector<Bytes>{} : std::vector<Bytes>{c.wire});
  }
  EXPECT_NE(session.writePipe, -1);
}

TEST_F(PwmTest, StopPwm) {
  ASSERT_EQ(Vonmod_PWMOut(&session, 2, 50, 20), 0);
  ASSERT_EQ(Vonmod_STOPPWM(&session, 2), 0);
  EXPECT_EQ(lastRequest(), (Bytes{0x54, 2}));
}

}  // namespace
}  // namespace vonmod_test
