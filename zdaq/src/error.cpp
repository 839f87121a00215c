#include "zdaq/error.h"

#include <cerrno>
#include <system_error>

namespace zdaq {

Error::Error(HRESULT hresult, std::string_view description, std::string_view source)
    : std::runtime_error(std::string(description)),
      hresult_(hresult),
      description_(description),
      source_(source) {}

HRESULT HresultFromErrno(int code) { return 0x80070000u | (static_cast<uint32_t>(code) & 0xFFFFu); }

void ThrowSystemError(int code, std::string_view source) {
  throw Error(HresultFromErrno(code), std::generic_category().message(code), source);
}

void ThrowOutOfMemory(std::string_view source) {
  // The code a client expects for exhausted storage is 14; the text is this system's own.
  throw Error(HresultFromErrno(14), std::generic_category().message(ENOMEM), source);
}

void ThrowError(HRESULT hresult, std::string_view description, std::string_view source) {
  throw Error(hresult, description, source);
}

}  // namespace zdaq
