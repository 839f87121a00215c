#pragma once
// The enumerator: the attached devices of the family, kept current as they arrive and leave,
// and creation of the registered classes by name.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "zdaq/device.h"
#include "zdaq/discovery.h"
#include "zdaq/driver.h"
#include "zdaq/error.h"
#include "zdaq/object.h"

namespace zdaq {

// Where devices come from, how they are reached and who hears the system sleep. Without a
// power watch no suspend is heard.
struct Backend {
  std::shared_ptr<Driver> driver;
  std::function<std::unique_ptr<Discovery>()> discovery;
  std::function<std::unique_ptr<PowerWatch>()> power = nullptr;

  // LinuxDriver, UdevDiscovery and logind.
  static Backend system();
};

// A subscriber to the enumerator's OnChange (_IZzDaqEnumEvents).
class ZzDaqEnumEvents {
 public:
  virtual ~ZzDaqEnumEvents() = default;
  virtual void OnChange() {}
};

struct EnumImpl;

class ZzDaqEnum final : public Object, public std::enable_shared_from_this<ZzDaqEnum> {
 public:
  explicit ZzDaqEnum(const Backend& backend = Backend::system());
  ~ZzDaqEnum() override;
  ZzDaqEnum(const ZzDaqEnum&) = delete;
  ZzDaqEnum& operator=(const ZzDaqEnum&) = delete;

  std::string_view ClassName() const override { return "ZzDaqEnum"; }

  std::shared_ptr<ZzDaqDeviceCollection> Devices() const;

  uint32_t Advise(std::shared_ptr<ZzDaqEnumEvents> sink);
  void Unadvise(uint32_t cookie);
  // Readable while arrivals or removals wait; ProcessEvents applies them and raises OnChange
  // (the enumerator's and the devices') on the caller's thread. A handler may release the
  // enumerator. Suspend and resume need no pumping: the library's own thread closes the open
  // devices before the system sleeps and opens them again when it wakes.
  int EventDescriptor() const;
  void ProcessEvents();

 private:
  std::unique_ptr<EnumImpl> impl_;
};

// Creates a registered class by its ProgID, versioned ("ZDaq.ZzDaqEnum.1") or not
// ("ZDaq.ZzDaqEnum"), in any letter case. Only the enumerator gives devices bound to hardware.
std::shared_ptr<Object> CreateObject(std::string_view progId,
                                     const Backend& backend = Backend::system());

// CreateObject for a client that knows the class it asks for; a ProgID of another class is
// refused as an unknown one is.
template <class T>
std::shared_ptr<T> CreateObjectAs(std::string_view progId,
                                  const Backend& backend = Backend::system()) {
  auto object = std::dynamic_pointer_cast<T>(CreateObject(progId, backend));
  if (!object) ThrowError(kInvalidArgument, kTextParameterInvalid, kLibraryName);
  return object;
}

}  // namespace zdaq
