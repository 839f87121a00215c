#include "app/acquisition/sources/vonmod_library.h"

#include <dlfcn.h>

namespace tidemet {
namespace {

template <class F>
bool Bind(void* handle, const char* name, F& f) {
  f = reinterpret_cast<F>(dlsym(handle, name));
  return f != nullptr;
}

}  // namespace

std::unique_ptr<VonmodLibrary> VonmodLibrary::Load(std::string& error) {
  void* handle = dlopen(kVonmodLibraryName, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* why = dlerror();
    error = why != nullptr ? why : kVonmodLibraryName;
    return nullptr;
  }
  std::unique_ptr<VonmodLibrary> lib(new VonmodLibrary(handle));
  if (!Bind(handle, "Vonmod_EnumerateDev", lib->EnumerateDev) ||
      !Bind(handle, "Vonmod_OpenDevice", lib->OpenDevice) ||
      !Bind(handle, "Vonmod_GetDeviceSerialNo", lib->GetDeviceSerialNo) ||
      !Bind(handle, "Vonmod_ReadMultiAnalogIn", lib->ReadMultiAnalogIn) ||
      !Bind(handle, "Vonmod_ReleaseDevice", lib->ReleaseDevice)) {
    const char* why = dlerror();
    error = why != nullptr ? why : kVonmodLibraryName;
    return nullptr;
  }
  return lib;
}

VonmodLibrary::~VonmodLibrary() { dlclose(handle_); }

int32_t ModuleSession::open() {
  release();
  int32_t count = 0;
  enumerateResult_ = library_.EnumerateDev(0, &count);
  const int32_t result = library_.OpenDevice(0, 0, &session_);
  if (result == 0) {
    ModuleOpen = -1;
    serialResult_ = library_.GetDeviceSerialNo(&session_, &ModuleSerial);
  }
  return result;
}

void ModuleSession::release() {
  if (!isOpen()) return;
  library_.ReleaseDevice(&session_);
  ModuleOpen = 0;
}

}  // namespace tidemet
