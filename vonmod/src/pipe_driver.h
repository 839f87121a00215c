#pragma once
// The seven operations of the USB pipe library, as a seam: the library binds the real one at
// load, tests and fuzzing put their own behind it.

#include <cstdint>

namespace vonmod {

inline constexpr char kModuleVidPid[] = "vid_04d8&pid_ffe9";
inline constexpr char kCommandPipe[] = "\\MCHP_EP1";
inline constexpr int32_t kWriteDirection = 0;
inline constexpr int32_t kReadDirection = 1;
inline constexpr int32_t kNoPipe = -1;

class PipeDriver {
 public:
  virtual ~PipeDriver() = default;
  // False when the pipe library is missing: the module library then acts as if nothing were
  // attached.
  virtual bool available() const = 0;
  virtual int32_t deviceCount(const char* vidPid) = 0;
  virtual int32_t open(int32_t instance, const char* vidPid, const char* pipeName,
                       int32_t direction) = 0;
  virtual int32_t write(int32_t handle, const void* data, int32_t length, int32_t* sent,
                        int32_t timeoutMs) = 0;
  virtual int32_t read(int32_t handle, void* data, int32_t length, int32_t* received,
                       int32_t timeoutMs) = 0;
  virtual int32_t readInt(int32_t handle, void* data, int32_t length, int32_t* received,
                          int32_t timeoutMs) = 0;
  virtual void close(int32_t handle) = 0;
};

// Stands in when the pipe library could not be bound.
class AbsentPipeDriver final : public PipeDriver {
 public:
  bool available() const override { return false; }
  int32_t deviceCount(const char*) override { return 0; }
  int32_t open(int32_t, const char*, const char*, int32_t) override { return kNoPipe; }
  int32_t write(int32_t, const void*, int32_t, int32_t*, int32_t) override { return 0; }
  int32_t read(int32_t, void*, int32_t, int32_t*, int32_t) override { return 0; }
  int32_t readInt(int32_t, void*, int32_t, int32_t*, int32_t) override { return 0; }
  void close(int32_t) override {}
};

}  // namespace vonmod
