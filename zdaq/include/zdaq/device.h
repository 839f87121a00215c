#pragma once
// One device of the family: its tree, its I/O controls, its sampling thread and ring.
// All members are called on one thread (the client's "apartment"); the sampling thread only
// posts, and ProcessEvents raises the events on the caller's thread.

#include <chrono>
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
  // Polls readable while events wait; ProcessEvents raises them in the order posted.
  int EventDescriptor() const;
  void ProcessEvents();

  // Private interface (IZzDaqDevicePrivate): for the enumerator and the tree.
  void SetInterface(std::string path);
  void SetName(std::string name);
  // Get accepts 0x222088, 0x222098, 0x22209C; put 0x222080, 0x222084, 0x22208C.
  int32_t IoControl(int32_t ioctl, int32_t param) const;
  void IoControl(int32_t ioctl, int32_t param, int32_t value);
  int32_t ioControlGet(uint32_t code, int32_t param, std::string_view source) const;
  void ioControlPut(uint32_t code, int32_t param, int32_t value, std::string_view source);

  // Hot-plug, from the enumerator.
  void handleRemoved();  // close the I/O, keep the open flag: the device reads as removed
  void handleArrived();  // re-open a removed device
  void nodesChanged();   // post OnChange
  bool isOpen() const;
  bool holdsHandle() const;
  std::string_view nameView() const noexcept;

  // 100-ns units, for the driver's set-up request.
  int64_t samplingIntervalUnits() const;

  // Samples the sampling thread has put into the ring since StartSampling, markers included,
  // and a bounded wait for a total: for tests and benchmarks that must know it caught up.
  uint64_t samplesAccepted() const;
  bool waitSamplesAccepted(uint64_t total, std::chrono::milliseconds timeout) const;

 private:
  explicit ZzDaqDevice(std::shared_ptr<Driver> driver);

  std::unique_ptr<DeviceImpl> impl_;
};

}  // namespace zdaq
