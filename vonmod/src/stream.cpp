// Streaming: the module fills endpoints 2 to 5 in turn with whole scans; the host reads them
// in the same order.

#include <array>
#include <cstdio>

#include "vonmod/src/library.h"
#include "vonmod/src/result_codes.h"
#include "vonmod/src/sample.h"

namespace vonmod {

namespace {

constexpr int32_t kClockHz = 12000000;
constexpr int32_t kMinSamples = 128;
constexpr int32_t kSamplesPerPacket = 32;
// Highest scan rate for 1..8 channels.
constexpr std::array<int32_t, 9> kRateLimit{0, 15000, 10000, 7200, 6300, 5800, 5500, 5000, 4500};
constexpr std::array<uint8_t, 9> kPrescaleCode{0xFF, 0xF0, 0xF1, 0xF2, 0xF3,
                                               0xF4, 0xF5, 0xF6, 0xF7};

struct StreamTiming {
  uint32_t reload = 0;
  int k = 0;
  int32_t actualRate = 0;
};

StreamTiming timingFor(int32_t scanRate) {
  StreamTiming t;
  const uint32_t base = static_cast<uint32_t>(kClockHz) / static_cast<uint32_t>(scanRate);
  for (t.k = 0; t.k <= 8; ++t.k) {
    t.reload = base >> t.k;
    if (t.reload < 65535) break;
  }
  if (t.k > 8) t.k = 8;
  const uint64_t divisor = static_cast<uint64_t>(t.reload) << t.k;
  t.actualRate = divisor == 0 ? 0 : static_cast<int32_t>(kClockHz / divisor);
  return t;
}

bool channelsValid(int32_t firstChannel, int32_t channelCount) {
  return firstChannel >= 0 && firstChannel <= 7 && channelCount >= 0 && channelCount <= 8 &&
         firstChannel + channelCount - 1 <= 7;
}

}  // namespace

int32_t Library::startStreamPipes(VonmodSession& session, int32_t firstChannel,
                                  int32_t channelCount) {
  VonmodDeviceEntry& entry = entryOf(session);
  entry.streamMarker = 0;
  entry.firstChannel = firstChannel;
  entry.channelCount = channelCount;
  for (size_t i = 0; i < entry.streamPipes.size(); ++i) {
    // A start without a stop must not leak the pipes of the earlier stream.
    if (entry.streamPipes[i] != kNoPipe) driver_.close(entry.streamPipes[i]);
    char name[32];
    std::snprintf(name, sizeof name, "\\MCHP_EP%d_ASYNC", static_cast<int>(i) + 2);
    entry.streamPipes[i] = driver_.open(session.instance, kModuleVidPid, name, kReadDirection);
    if (entry.streamPipes[i] == kNoPipe) return kDeviceBusy;
  }
  return kOk;
}

int32_t Library::aiStartStream(VonmodSession* session, int32_t firstChannel, int32_t channelCount,
                               int32_t scanRate, int32_t* actualRate, int32_t option) {
  if (!usableSession(session)) return kNullSession;
  if (actualRate == nullptr) return kUnknownError;
  if (session->instance == kNoPipe || !pipesOpen(*session)) return kDeviceBusy;
  if (!channelsValid(firstChannel, channelCount)) return kBadChannel;
  if (static_cast<int64_t>(channelCount) * scanRate < kMinSamples) return kTooFewSamples;
  if (scanRate > kRateLimit[static_cast<size_t>(channelCount)]) return kThroughputExceeded;
  if (const int32_t result = startStreamPipes(*session, firstChannel, channelCount); result != kOk)
    return result;
  const StreamTiming timing = timingFor(scanRate);
  *actualRate = timing.actualRate;
  const uint32_t counter = 65535u - timing.reload;
  const std::array<uint8_t, 8> request{0x32,
                                       static_cast<uint8_t>(firstChannel),
                                       static_cast<uint8_t>(firstChannel + channelCount - 1),
                                       static_cast<uint8_t>((counter >> 8) & 0xFF),
                                       static_cast<uint8_t>(counter & 0xFF),
                                       kPrescaleCode[static_cast<size_t>(timing.k)],
                                       static_cast<uint8_t>(scanRate > 3000 ? 1 : 0),
                                       static_cast<uint8_t>(option != 0 ? 1 : 0)};
  std::array<uint8_t, kPacketSize> reply{};
  if (const int32_t result = command(*session, request, reply.data(), 7); result != kOk)
    return result;
  return reply[0] == 0x32 ? kOk : kWrongLength;
}

int32_t Library::aiStartContinuous(VonmodSession* session, int32_t firstChannel,
                                   int32_t channelCount) {
  if (!usableSession(session)) return kNullSession;
  if (session->instance == kNoPipe || !pipesOpen(*session)) return kDeviceBusy;
  if (!channelsValid(firstChannel, channelCount)) return kBadChannel;
  if (const int32_t result = startStreamPipes(*session, firstChannel, channelCount); result != kOk)
    return result;
  const std::array<uint8_t, 3> request{
      0x35, static_cast<uint8_t>(firstChannel),
      static_cast<uint8_t>((firstChannel + channelCount - 1) & 0xFF)};
  std::array<uint8_t, kPacketSize> reply{};
  if (const int32_t result = command(*session, request, reply.data(), 3); result != kOk)
    return result;
  return reply[0] == 0x35 ? kOk : kWrongLength;
}

int32_t Library::aiStopStream(VonmodSession* session) {
  if (!usableSession(session)) return kNullSession;
  return stopStream(*session);
}

int32_t Library::aiStopContinuous(VonmodSession* session, int32_t* counterDelta,
                                  int32_t* trailerWord) {
  if (!usableSession(session)) return kNullSession;
  if (counterDelta == nullptr || trailerWord == nullptr) return kUnknownError;
  if (session->instance == kNoPipe) return kDeviceBusy;
  const std::array<uint8_t, 1> request{0x36};
  std::array<uint8_t, kPacketSize> reply{};
  if (const int32_t result = Transact(*session, request, reply.data(), 7, kCommandTimeoutMs);
      result != kOk)
    return result;
  Drain(entryOf(*session));
  if (reply[0] != 0x36) return kWrongLength;
  const int32_t before = reply[1] + 256 * reply[2];
  const int32_t after = reply[3] + 256 * reply[4];
  *counterDelta = after > before ? after - before : after - before + 65535;
  *trailerWord = 256 * reply[5] + reply[6];
  return kOk;
}

int32_t Library::aiGetScans(VonmodSession* session, int32_t scans, int32_t timeoutMs, float* volts,
                            int32_t* scansRead) {
  if (!usableSession(session)) return kNullSession;
  if (volts == nullptr || scansRead == nullptr) return kUnknownError;
  const VonmodDeviceEntry& entry = entryOf(*session);
  const int32_t n = entry.channelCount;
  const int64_t wanted = static_cast<int64_t>(n) * scans;
  if (n <= 0 || wanted < kMinSamples) return kTooFewSamples;
  const int32_t perRead = (kSamplesPerPacket / n) * n;
  const int32_t bytesPerRead = 2 * perRead;
  const int64_t passes = wanted / (4 * perRead);
  std::array<uint8_t, kPacketSize> packet{};
  int64_t stored = 0;
  for (int64_t pass = 0; pass < passes; ++pass) {
    for (const int32_t pipe : entry.streamPipes) {
      int32_t received = 0;
      const int32_t ok = pipe == kNoPipe ? 0
                                         : driver_.readInt(pipe, packet.data(), bytesPerRead,
                                                           &received, timeoutMs);
      if (ok != 1 && received <= 0) return kScanTimeout;
      // Never trust a count beyond what was asked for.
      const int32_t usable = received < bytesPerRead ? received : bytesPerRead;
      for (int32_t b = 0; b + 1 < usable; b += 2)
        volts[stored++] = CountToVolts(
            DecodeSample(packet[static_cast<size_t>(b)], packet[static_cast<size_t>(b + 1)]));
      if (received < bytesPerRead) {
        *scansRead = static_cast<int32_t>(stored / n);
        return kScanTimeout;
      }
    }
  }
  *scansRead = static_cast<int32_t>(stored / n);
  return kOk;
}

}  // namespace vonmod
