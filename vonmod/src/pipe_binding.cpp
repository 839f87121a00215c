#include "vonmod/src/pipe_binding.h"

#include <dlfcn.h>

namespace vonmod {

namespace {

template <typename Fn>
bool bind(void* library, const char* name, Fn& out) {
  out = reinterpret_cast<Fn>(dlsym(library, name));
  return out != nullptr;
}

}  // namespace

BoundPipeDriver::BoundPipeDriver(const char* libraryName, std::FILE* errors) {
  library_ = dlopen(libraryName, RTLD_NOW | RTLD_LOCAL);
  if (library_ == nullptr) {
    // No message box in a library here: the caption and text go to the error stream.
    std::fprintf(errors, "Error: Error loading %s\n", libraryName);
    return;
  }
  // Bound in the documented order; all seven must be there.
  const bool complete =
      bind(library_, "MPUSBGetDLLVersion", getVersion_) &&
      bind(library_, "MPUSBGetDeviceCount", getDeviceCount_) &&
      bind(library_, "MPUSBOpen", open_) && bind(library_, "MPUSBWrite", write_) &&
      bind(library_, "MPUSBRead", read_) && bind(library_, "MPUSBReadInt", readInt_) &&
      bind(library_, "MPUSBClose", close_);
  if (!complete) {
    std::fprintf(errors, "Error: GetProcessAddress Error\n");
    return;
  }
  bound_ = true;
}

// The loaded library stays for the life of the process, as the binding does.
BoundPipeDriver::~BoundPipeDriver() = default;

int32_t BoundPipeDriver::deviceCount(const char* vidPid) {
  return bound_ ? getDeviceCount_(vidPid) : 0;
}

int32_t BoundPipeDriver::open(int32_t instance, const char* vidPid, const char* pipeName,
                              int32_t direction) {
  return bound_ ? open_(instance, vidPid, pipeName, direction, 0) : kNoPipe;
}

int32_t BoundPipeDriver::write(int32_t handle, const void* data, int32_t length, int32_t* sent,
                               int32_t timeoutMs) {
  return bound_ ? write_(handle, data, length, sent, timeoutMs) : 0;
}

int32_t BoundPipeDriver::read(int32_t handle, void* data, int32_t length, int32_t* received,
                              int32_t timeoutMs) {
  return bound_ ? read_(handle, data, length, received, timeoutMs) : 0;
}

int32_t BoundPipeDriver::readInt(int32_t handle, void* data, int32_t length, int32_t* received,
                                 int32_t timeoutMs) {
  return bound_ ? readInt_(handle, data, length, received, timeoutMs) : 0;
}

void BoundPipeDriver::close(int32_t handle) {
  if (bound_) close_(handle);
}

}  // namespace vonmod
