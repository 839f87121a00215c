// Enumeration, opening, release and reset of module sessions.

#include <array>

#include "vonmod/src/library.h"
#include "vonmod/src/result_codes.h"

namespace vonmod {

int32_t Library::enumerateDev(int32_t moduleType, int32_t* count) {
  if (moduleType != 0) return kWrongModuleType;
  if (count == nullptr) return kUnknownError;
  for (VonmodDeviceEntry& entry : table_) {
    if (entry.session.writePipe != kNoPipe || entry.session.readPipe != kNoPipe)
      release(entry.session);
  }
  *count = driver_.deviceCount(kModuleVidPid);
  int32_t found = 0;
  for (int32_t instance = 0; instance < kDeviceTableSize; ++instance) {
    const int32_t probe = driver_.open(instance, kModuleVidPid, kCommandPipe, kReadDirection);
    if (probe != kNoPipe) {
      driver_.close(probe);
      table_[static_cast<size_t>(found)].session = {found, instance, 0, kNoPipe, kNoPipe};
      ++found;
    }
    if (found == *count) break;
  }
  return kOk;
}

int32_t Library::openDevice(int32_t moduleType, int32_t deviceIndex, VonmodSession* session) {
  if (moduleType != 0) return kWrongModuleType;
  if (session == nullptr) return kNullSession;
  // Taken as unsigned, a negative index is as much too large as one past the count.
  const int32_t attached = driver_.deviceCount(kModuleVidPid);
  if (attached <= 0 || static_cast<uint32_t>(deviceIndex) >= static_cast<uint32_t>(attached) ||
      !validDeviceIndex(deviceIndex))
    return kIndexTooLarge;
  VonmodDeviceEntry& entry = table_[static_cast<size_t>(deviceIndex)];
  const int32_t instance = entry.session.instance;
  if (instance == kNoPipe) return kDeviceBusy;
  *session = {deviceIndex, instance, 0, kNoPipe, kNoPipe};
  session->writePipe = driver_.open(instance, kModuleVidPid, kCommandPipe, kWriteDirection);
  if (session->writePipe == kNoPipe) return kDeviceBusy;
  session->readPipe = driver_.open(instance, kModuleVidPid, kCommandPipe, kReadDirection);
  if (session->readPipe == kNoPipe) {
    // A half-open session would hold the command pipe until the process ends.
    driver_.close(session->writePipe);
    session->writePipe = kNoPipe;
    return kDeviceBusy;
  }
  entry.session = *session;
  return kOk;
}

int32_t Library::stopStream(VonmodSession& session) {
  if (session.instance == kNoPipe) return kDeviceBusy;
  std::array<uint8_t, kPacketSize> reply{};
  const std::array<uint8_t, 1> request{0x33};
  const int32_t result = Transact(session, request, reply.data(), 4, kCommandTimeoutMs);
  if (result != kOk) return result;
  Drain(entryOf(session));
  return reply[0] == 0x33 ? kOk : kWrongLength;
}

int32_t Library::release(VonmodSession& session) {
  stopStream(session);
  // Stream pipes go with the session even when the stop command could not reach the module.
  Drain(entryOf(session));
  const bool wasOpen = pipesOpen(session);
  closeSession(session);
  return wasOpen ? kOk : kNullSession;
}

int32_t Library::releaseDevice(VonmodSession* session) {
  if (!usableSession(session)) return kNullSession;
  return release(*session);
}

int32_t Library::reset(VonmodSession* session) {
  if (!usableSession(session)) return kNullSession;
  if (!pipesOpen(*session)) return kNullSession;
  const std::array<uint8_t, 1> request{0xFF};
  std::array<uint8_t, kPacketSize> reply{};
  Transact(*session, request, reply.data(), 0, 0);  // the module restarts and does not answer
  release(*session);
  return kOk;
}

}  // namespace vonmod
