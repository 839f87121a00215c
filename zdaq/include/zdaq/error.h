#pragma once
// Failures of libzdaq members: every public member that fails throws zdaq::Error with the HRESULT
// a COM client of this device family would see and the description from the library's string
// table (or the system's text for an operating-system failure).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zdaq {

using HRESULT = uint32_t;

inline constexpr HRESULT kInvalidArgument = 0x80070057;     // E_INVALIDARG
inline constexpr HRESULT kUnspecifiedFailure = 0x80004005;  // E_FAIL
inline constexpr HRESULT kParameterInvalid = 0x8004B000;
inline constexpr HRESULT kIoControlOutInvalid = 0x8004B002;
inline constexpr HRESULT kDeviceRemoved = 0x8004B00C;
inline constexpr HRESULT kDeviceNotOpen = 0x8004B00D;
inline constexpr HRESULT kDeviceOpenAlready = 0x8004B00E;
inline constexpr HRESULT kSamplingStarted = 0x8004B00F;
inline constexpr HRESULT kNoIoPoints = 0x8004B010;
inline constexpr HRESULT kSamplingNotStarted = 0x8004B011;

// The string table.
inline constexpr std::string_view kLibraryName = "ZDaq";
inline constexpr std::string_view kTextParameterInvalid = "A parameter is invalid.";
inline constexpr std::string_view kTextIndexInvalid = "The index is invalid.";
inline constexpr std::string_view kTextDeviceRemoved =
    "The device has been removed from the system.";
inline constexpr std::string_view kTextDeviceNotOpen = "The device is not open.";
inline constexpr std::string_view kTextDeviceOpenAlready = "The device is open already.";
inline constexpr std::string_view kTextSamplingStarted = "Sampling has already been started.";
inline constexpr std::string_view kTextNoIoPoints = "No I/O points specified.";
inline constexpr std::string_view kTextSamplingNotStarted = "Sampling has not started.";

// Interface names, the source of an error.
inline constexpr std::string_view kIZzDaqEnum = "IZzDaqEnum";
inline constexpr std::string_view kIZzDaqDevice = "IZzDaqDevice";
inline constexpr std::string_view kIZzDaqDevicePrivate = "IZzDaqDevicePrivate";
inline constexpr std::string_view kIZzIoPoint = "IZzIoPoint";
inline constexpr std::string_view kIZzIoPointGroup = "IZzIoPointGroup";
inline constexpr std::string_view kIZzIoConfiguration = "IZzIoConfiguration";
inline constexpr std::string_view kIZzIoConfigurationGroup = "IZzIoConfigurationGroup";

class Error : public std::runtime_error {
 public:
  Error(HRESULT hresult, std::string_view description, std::string_view source);

  HRESULT hresult() const { return hresult_; }
  const std::string& description() const { return description_; }
  // The interface of the member that failed.
  const std::string& source() const { return source_; }

 private:
  HRESULT hresult_;
  std::string description_;
  std::string source_;
};

// 0x80070000 | low 16 bits of the code, with the system's text for it.
HRESULT HresultFromErrno(int code);
[[noreturn]] void ThrowSystemError(int code, std::string_view source);
// Allocation failure: system error 14 (not enough storage) as a COM client would see it.
[[noreturn]] void ThrowOutOfMemory(std::string_view source);
[[noreturn]] void ThrowError(HRESULT hresult, std::string_view description,
                             std::string_view source);

}  // namespace zdaq
