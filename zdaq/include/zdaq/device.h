#pragma once
// One device of the family: its tree, its I/O controls, its sampling thread and ring.
// A client calls the members from one thread of its choice (its "apartment"); the sampling
// thread only posts, and ProcessEvents raises the events on the caller's thread. The library's
// power thread may close and reopen the device's I/O around a system sleep at any time; the
// device guards its state against that itself.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "zdaq/collection.h"
#include "zdaq/driver.h"
#include "zdaq/object.h"
#include "zdaq/objects.h"
#include "zdaq/sample_array.h"

namespace zdaq {

class ZzDaqDevice;
using ZzDaqDeviceCollection = Collection<ZzDaqDevice>;

// A subscriber to a device's events (the connection point of _IZzDaqDeviceEvents).
class ZzDaqDeviceEvents {
 public:
  virtual ~ZzDaqDeviceEvents() = default;
  virtual void OnDataAvailable() {}
  virtual void OnChange() {}
};

struct DeviceImpl;
struct DeviceInternals;

class ZzDaqDevice final : public Object, public std::enable_shared_from_this<ZzDaqDevice> {
 public:
  static constexpr std::string_view kCollectionClass = "ZzDaqDeviceCollection";
  static constexpr std::string_view kCollectionInterface = "IZzDaqDeviceCollection";

  // A device bound to no driver uses the Linux driver.
  static std::shared_ptr<ZzDaqDevice> create(std::shared_ptr<Driver> driver = nullptr);
  ~ZzDaqDevice() override;
  ZzDaqDevice(const ZzDaqDevice&) = delete;
  ZzDaqDevice& operator=(const ZzDaqDevice&) = delete;

  std::string_view ClassName() const override { return "ZzDaqDevice"; }

  // Set by the enumerator; 0x80004005 while not set.
  std::string Name() const;
  std::string Interface() const;

  void Open();
  // Never fails: stops sampling, ends the thread, closes the handle and releases the tree.
  void Close();

  // Fail unless open (and, once removed, with "The device has been removed from the system.").
  std::shared_ptr<ZzIoPointCollection> IoPoints() const;
  std::shared_ptr<ZzIoPointGroupCollection> IoPointGroups() const;
  std::shared_ptr<ZzIoConfigurationCollection> IoConfigurations() const;
  std::shared_ptr<ZzIoConfigurationGroupCollection> IoConfigurationGroups() const;

  // Up to count samples, oldest first; clears the notification-pending flag.
  SampleArray GetSamples(int32_t count);
  void StartSampling();
  void StopSampling();

  // Seconds, held in 100-ns units; refused while sampling.
  double SamplingInterval() const;
  void SamplingInterval(double seconds);
  // Put: nonzero starts sampling, zero stops it; failures are reported.
  int32_t SamplingEnabled() const;
  void SamplingEnabled(int32_t enabled);

  // Connection point of _IZzDaqDeviceEvents.
  uint32_t Advise(std::shared_ptr<ZzDaqDeviceEvents> sink);
  void Unadvise(uint32_t cookie);
  // Polls readable while events wait; ProcessEvents raises them in the order posted. Only an
  // open device raises events: Close drops what was posted before it, StopSampling drops the
  // data notices, and a notice is raised only while what it announces still holds.
  int EventDescriptor() const;
  void ProcessEvents();

  // Private interface (IZzDaqDevicePrivate): the checked I/O controls. Get accepts 0x222088,
  // 0x222098 and 0x22209C; put 0x222080, 0x222084 and 0x22208C; any other code is refused.
  int32_t IoControl(int32_t ioctl, int32_t param) const;
  void IoControl(int32_t ioctl, int32_t param, int32_t value);

  std::string_view nameView() const noexcept;

 private:
  // The library's own parts (enumerator, tree, tests) reach the rest through DeviceInternals.
  friend struct DeviceInternals;
  friend class ZzIoPoint;
  friend class ZzIoPointGroup;

  explicit ZzDaqDevice(std::shared_ptr<Driver> driver);

  // Any control code, for the points and groups of this device's own tree.
  int32_t ioControlGet(uint32_t code, int32_t param, std::string_view source) const;
  void ioControlPut(uint32_t code, int32_t param, int32_t value, std::string_view source);

  std::unique_ptr<DeviceImpl> impl_;
};

}  // namespace zdaq
