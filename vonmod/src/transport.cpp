// One command is one write to the command pipe and one read from the reply pipe.

#include <array>

#include "vonmod/src/library.h"
#include "vonmod/src/result_codes.h"

namespace vonmod {

void Library::closeCommandPipe(VonmodSession& session) {
  const int32_t handle = session.writePipe;
  if (handle == kNoPipe) return;
  driver_.close(handle);
  session.writePipe = kNoPipe;
  // The table copy may belong to a later session on the same module; only clear our own handle.
  VonmodSession& copy = entryOf(session).session;
  if (copy.writePipe == handle) copy.writePipe = kNoPipe;
}

void Library::closeReplyPipe(VonmodSession& session) {
  const int32_t handle = session.readPipe;
  if (handle == kNoPipe) return;
  driver_.close(handle);
  session.readPipe = kNoPipe;
  VonmodSession& copy = entryOf(session).session;
  if (copy.readPipe == handle) copy.readPipe = kNoPipe;
}

void Library::closeSession(VonmodSession& session) {
  closeCommandPipe(session);
  closeReplyPipe(session);
}

int32_t Library::Transact(VonmodSession& session, std::span<const uint8_t> request, uint8_t* reply,
                          int32_t expected, int32_t readTimeoutMs) {
  if (!pipesOpen(session) || !driver_.available()) return kNullSession;
  int32_t sent = 0;
  if (driver_.write(session.writePipe, request.data(), static_cast<int32_t>(request.size()), &sent,
                    kCommandTimeoutMs) == 0) {
    closeCommandPipe(session);
    return kWriteError;
  }
  // Reply buffer is a whole packet, so a driver that reports more than asked cannot overrun it.
  std::array<uint8_t, kPacketSize> packet{};
  int32_t received = 0;
  if (driver_.read(session.readPipe, packet.data(), expected, &received, readTimeoutMs) == 0) {
    closeReplyPipe(session);
    return kReadError;
  }
  if (received < expected) return kWrongLength;
  if (received > expected) return kNullSession;
  for (int32_t i = 0; i < expected; ++i) reply[i] = packet[static_cast<size_t>(i)];
  return kOk;
}

int32_t Library::command(VonmodSession& session, std::span<const uint8_t> request, uint8_t* reply,
                         int32_t expected) {
  // A session with a pipe already gone is refused before anything is sent, and its remaining
  // pipe stays as it is: the caller's other copies of the session still name it, and closing it
  // here would make their later release close a handle that may by then belong to someone else.
  if (!pipesOpen(session) || !driver_.available()) return kNullSession;
  const int32_t result = Transact(session, request, reply, expected, kCommandTimeoutMs);
  if (result != kOk) closeSession(session);
  return result;
}

void Library::Drain(VonmodDeviceEntry& entry) {
  std::array<uint8_t, kPacketSize> scratch{};
  for (int32_t& pipe : entry.streamPipes) {
    if (pipe == kNoPipe) continue;
    for (int read = 0; read < kDrainReadsPerPipe; ++read) {
      int32_t received = 0;
      driver_.readInt(pipe, scratch.data(), kPacketSize, &received, kDrainTimeoutMs);
      if (received <= 0) break;
    }
    driver_.close(pipe);
    pipe = kNoPipe;
  }
}

}  // namespace vonmod
