#include "app/acquisition/sources/rv2_source.h"

#include <algorithm>

#include "app/acquisition/serial_unit.h"
#include "app/session/text.h"

namespace tidemet {

std::optional<ReplyFrame> TakeRv2Reply(std::span<uint8_t> buffer, size_t& used) {
  size_t scannedTo = 0;
  auto frame = ScanReply({buffer.data(), used});
  if (frame) scannedTo = frame->offset + kReplyFrameSize;
  // Keeps the bytes from the last sync byte that could still begin a frame whose end has not
  // arrived, so a reply split across two ticks is not lost.
  size_t from =
      std::max(scannedTo, used > kReplyFrameSize - 1 ? used - (kReplyFrameSize - 1) : size_t{0});
  while (from < used && buffer[from] != 0xFF) ++from;
  std::copy(buffer.begin() + static_cast<long>(from), buffer.begin() + static_cast<long>(used),
            buffer.begin());
  used -= from;
  if (used == buffer.size()) used = 0;  // a buffer full of noise holds no frame
  return frame;
}

Rv2Source::Rv2Source(Rv2Settings settings, const Clock& clock, DeviceMessages& messages)
    : settings_(std::move(settings)), clock_(clock), messages_(messages) {
  if (!openPort()) lost();
}

bool Rv2Source::openPort() {
  if (!port_.open(settings_.device)) {
    if (!reported_) {
      reported_ = true;
      messages_.post({std::string(AppTitle) + " Warning",
                      JoinLines({"The serial port " + settings_.portName + " (" + settings_.device +
                                     ") cannot be opened: " + port_.error() + ".",
                                 "Monitoring goes on without readings from the transmitter."}),
                      AlertIcon::Exclamation, AlertButtons::Ok});
    }
    return false;
  }
  retryDelayNs_ = kFirstRetryNs;
  used_ = 0;
  // A unit that lost its line while monitoring needs its start command again.
  if (monitoring_) send(StartCommand(settings_.UnitNode));
  return port_.isOpen();
}

void Rv2Source::lost() {
  port_.close();
  used_ = 0;
  retryAtNs_ = clock_.nowNs() + retryDelayNs_;
  retryDelayNs_ = std::min(retryDelayNs_ * 2, kLastRetryNs);
}

void Rv2Source::send(std::span<const uint8_t> bytes) {
  if (port_.isOpen() && !port_.write(bytes)) lost();
}

void Rv2Source::monitoringStarted() {
  monitoring_ = true;
  used_ = 0;
  send(StartCommand(settings_.UnitNode));
}

void Rv2Source::takeReadings(ReadingSet& out) {
  if (!port_.isOpen()) {
    if (clock_.nowNs() < retryAtNs_) return;
    ++reopenAttempts_;
    if (!openPort()) {
      lost();
      return;
    }
  }
  const long got = port_.readAvailable(received_, used_);
  if (got < 0) {
    lost();
    return;
  }
  used_ = static_cast<size_t>(got);
  if (auto frame = TakeRv2Reply(received_, used_)) {
    out.set(0, frame->valueA);
    out.set(1, frame->valueB);
  }
  send(PollCommand(settings_.UnitNode));
}

}  // namespace tidemet
