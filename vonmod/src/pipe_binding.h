#pragma once
// Binds the USB pipe library by name through the dynamic loader.

#include <cstdio>

#include "platform/mpusbapi/mpusbapi.h"
#include "vonmod/src/pipe_driver.h"

namespace vonmod {

class BoundPipeDriver final : public PipeDriver {
 public:
  // Loads `libraryName`; on failure writes the caption and text to `errors` and stays unbound.
  BoundPipeDriver(const char* libraryName, std::FILE* errors);
  ~BoundPipeDriver() override;
  BoundPipeDriver(const BoundPipeDriver&) = delete;
  BoundPipeDriver& operator=(const BoundPipeDriver&) = delete;

  bool available() const override { return bound_; }
  int32_t deviceCount(const char* vidPid) override;
  int32_t open(int32_t instance, const char* vidPid, const char* pipeName,
               int32_t direction) override;
  int32_t write(int32_t handle, const void* data, int32_t length, int32_t* sent,
                int32_t timeoutMs) override;
  int32_t read(int32_t handle, void* data, int32_t length, int32_t* received,
               int32_t timeoutMs) override;
  int32_t readInt(int32_t handle, void* data, int32_t length, int32_t* received,
                  int32_t timeoutMs) override;
  void close(int32_t handle) override;

 private:
  void* library_ = nullptr;
  bool bound_ = false;
  MPUSBGetDLLVersionFn getVersion_ = nullptr;
  MPUSBGetDeviceCountFn getDeviceCount_ = nullptr;
  MPUSBOpenFn open_ = nullptr;
  MPUSBWriteFn write_ = nullptr;
  MPUSBReadFn read_ = nullptr;
  MPUSBReadFn readInt_ = nullptr;
  MPUSBCloseFn close_ = nullptr;
};

}  // namespace vonmod
