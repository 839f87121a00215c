#pragma once
// libvonmodvb.so loaded by name at run time, and the functions the program calls in it.

#include <memory>
#include <string>

#include "vonmod/include/vonmod.h"

namespace tidemet {

inline constexpr const char* kVonmodLibraryName = "libvonmodvb.so";

class VonmodLibrary {
 public:
  // The library found through the normal search, or null with the loader's reason in `error`.
  static std::unique_ptr<VonmodLibrary> Load(std::string& error);
  ~VonmodLibrary();
  VonmodLibrary(const VonmodLibrary&) = delete;
  VonmodLibrary& operator=(const VonmodLibrary&) = delete;

  decltype(&Vonmod_EnumerateDev) EnumerateDev = nullptr;
  decltype(&Vonmod_OpenDevice) OpenDevice = nullptr;
  decltype(&Vonmod_GetDeviceSerialNo) GetDeviceSerialNo = nullptr;
  decltype(&Vonmod_ReadMultiAnalogIn) ReadMultiAnalogIn = nullptr;
  decltype(&Vonmod_ReleaseDevice) ReleaseDevice = nullptr;

 private:
  explicit VonmodLibrary(void* handle) : handle_(handle) {}
  void* handle_;
};

// One module session as a window holds it: the session record, the open flag and the result
// codes of the opening calls.
class ModuleSession {
 public:
  explicit ModuleSession(VonmodLibrary& library) : library_(library) {}
  ~ModuleSession() { release(); }
  ModuleSession(const ModuleSession&) = delete;
  ModuleSession& operator=(const ModuleSession&) = delete;

  // Enumerates, opens module 0 and, when that succeeds, reads its serial number. Returns the
  // open result: 0 opened, 2 no module, anything else a failure.
  int32_t open();
  // Releases the session when it is open.
  void release();

  bool isOpen() const { return ModuleOpen == -1; }
  VonmodSession& session() { return session_; }
  VonmodLibrary& library() { return library_; }
  int32_t serial() const { return ModuleSerial; }
  int32_t enumerateResult() const { return enumerateResult_; }
  int32_t serialResult() const { return serialResult_; }

 private:
  VonmodLibrary& library_;
  ::VonmodSession session_{};
  int16_t ModuleOpen = 0;
  int32_t enumerateResult_ = 0;
  int32_t ModuleSerial = 0;
  int32_t serialResult_ = 0;
};

}  // namespace tidemet
