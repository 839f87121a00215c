// PWM output commands.

#include <array>

#include "vonmod/src/library.h"
#include "vonmod/src/pwm_timing.h"
#include "vonmod/src/result_codes.h"

namespace vonmod {

int32_t Library::sendPwm(VonmodSession& session, int32_t channel, int32_t periodUs, bool tenBit,
                         int32_t duty) {
  const uint8_t wireChannel = static_cast<uint8_t>(channel & 0xFF);
  if (wireChannel != 1 && wireChannel != 2) return kBadChannel;
  if (duty < 0 || duty > (tenBit ? 1023 : 100)) return kBadDuty;
  const PwmRegisters regs = PwmTiming(periodUs, duty, tenBit);
  if (regs.result != kOk) return regs.result;
  if (!pipesOpen(session)) return kNullSession;
  const std::array<uint8_t, 6> request{0x53,
                                       wireChannel,
                                       regs.period,
                                       static_cast<uint8_t>((regs.duty >> 8) & 3),
                                       static_cast<uint8_t>(regs.duty & 0xFF),
                                       regs.prescaler};
  std::array<uint8_t, kPacketSize> reply{};
  if (const int32_t result = command(session, request, reply.data(), 5); result != kOk)
    return result;
  return reply[0] == 0x53 ? kOk : kWrongLength;
}

int32_t Library::pwmOut(VonmodSession* session, int32_t channel, int32_t dutyPercent,
                        int32_t periodUs) {
  if (!usableSession(session)) return kNullSession;
  return sendPwm(*session, channel, periodUs, false, dutyPercent);
}

int32_t Library::pwmOut10bit(VonmodSession* session, int32_t channel, int32_t duty1023,
                             int32_t periodUs) {
  if (!usableSession(session)) return kNullSession;
  return sendPwm(*session, channel, periodUs, true, duty1023);
}

int32_t Library::stopPwm(VonmodSession* session, int32_t channel) {
  if (!usableSession(session)) return kNullSession;
  if (channel < 1 || channel > 2) return kBadChannel;
  const std::array<uint8_t, 2> request{0x54, static_cast<uint8_t>(channel)};
  std::array<uint8_t, kPacketSize> reply{};
  if (const int32_t result = command(*session, request, reply.data(), 2); result != kOk)
    return result;
  return reply[0] == 0x54 ? kOk : kWrongLength;
}

}  // namespace vonmod
