#include "platform/labjackud/usb/libusb_bus.h"

#include <libusb-1.0/libusb.h>

#include <algorithm>
#include <array>
#include <climits>
#include <optional>
#include <vector>

namespace labjack {
namespace {

constexpr int kInterface = 0;

TransferStatus statusOf(int rc) {
  switch (rc) {
    case 0:
      return TransferStatus::Ok;
    case LIBUSB_ERROR_TIMEOUT:
      return TransferStatus::Timeout;
    case LIBUSB_ERROR_NO_DEVICE:
      return TransferStatus::Gone;
    default:
      return TransferStatus::Failed;
  }
}

struct Endpoints {
  uint8_t out = 0;
  uint8_t in = 0;
};

std::optional<Endpoints> findEndpoints(libusb_device* device) {
  libusb_config_descriptor* config = nullptr;
  if (libusb_get_active_config_descriptor(device, &config) != 0 &&
      libusb_get_config_descriptor(device, 0, &config) != 0)
    return std::nullopt;
  std::optional<Endpoints> found;
  for (int i = 0; i < config->bNumInterfaces; ++i) {
    const libusb_interface& iface = config->interface[i];
    if (iface.num_altsetting < 1 || iface.altsetting[0].bInterfaceNumber != kInterface) continue;
    const libusb_interface_descriptor& alt = iface.altsetting[0];
    Endpoints e;
    for (int k = 0; k < alt.bNumEndpoints; ++k) {
      const libusb_endpoint_descriptor& ep = alt.endpoint[k];
      if ((ep.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK) continue;
      const bool in = (ep.bEndpointAddress & LIBUSB_ENDPOINT_IN) != 0;
      if (!in && e.out == 0) e.out = ep.bEndpointAddress;
      if (in && (e.in == 0 || ep.bEndpointAddress < e.in)) e.in = ep.bEndpointAddress;
    }
    if (e.out != 0 && e.in != 0) found = e;
  }
  libusb_free_config_descriptor(config);
  return found;
}

class LibusbTransport final : public Transport {
 public:
  LibusbTransport(libusb_device_handle* handle, Endpoints endpoints)
      : handle_(handle), endpoints_(endpoints) {}
  ~LibusbTransport() override {
    libusb_release_interface(handle_, kInterface);
    libusb_close(handle_);
  }
  LibusbTransport(const LibusbTransport&) = delete;
  LibusbTransport& operator=(const LibusbTransport&) = delete;

  TransferStatus send(std::span<const uint8_t> packet, int timeoutMs) override {
    std::array<uint8_t, 64> copy{};  // libusb takes a writable buffer
    if (packet.size() > copy.size()) return TransferStatus::Failed;
    std::copy(packet.begin(), packet.end(), copy.begin());
    int sent = 0;
    const int rc = libusb_bulk_transfer(handle_, endpoints_.out, copy.data(),
                                        static_cast<int>(packet.size()), &sent, timeoutMs);
    if (rc != 0) return statusOf(rc);
    return sent == static_cast<int>(packet.size()) ? TransferStatus::Ok : TransferStatus::Failed;
  }

  TransferStatus receive(std::span<uint8_t> buffer, size_t& received, int timeoutMs) override {
    received = 0;
    int got = 0;
    const int length = static_cast<int>(std::min<size_t>(buffer.size(), INT_MAX));
    const int rc =
        libusb_bulk_transfer(handle_, endpoints_.in, buffer.data(), length, &got, timeoutMs);
    if (rc != 0) return statusOf(rc);  // an overflow too: a reply longer than any U3 sends
    received = static_cast<size_t>(std::clamp(got, 0, length));
    return TransferStatus::Ok;
  }

 private:
  libusb_device_handle* handle_;
  Endpoints endpoints_;
};

class LibusbBus final : public Bus {
 public:
  ~LibusbBus() override {
    if (context_) libusb_exit(context_);
  }

  std::unique_ptr<Transport> openFirstU3(OpenStatus& status) override {
    status = OpenStatus::NotFound;
    if (!context_ && libusb_init(&context_) != 0) {
      context_ = nullptr;
      return nullptr;  // no USB at all: no U3 either
    }
    libusb_device** list = nullptr;
    const ssize_t n = libusb_get_device_list(context_, &list);
    std::vector<std::pair<std::vector<uint8_t>, libusb_device*>> u3s;
    for (ssize_t i = 0; i < n; ++i) {
      libusb_device_descriptor d{};
      if (libusb_get_device_descriptor(list[i], &d) != 0) continue;
      if (d.idVendor != kLabJackVendor || d.idProduct != kU3Product) continue;
      std::array<uint8_t, 8> ports{};
      const int depth = std::max(0, libusb_get_port_numbers(list[i], ports.data(), ports.size()));
      std::vector<uint8_t> place{libusb_get_bus_number(list[i])};
      place.insert(place.end(), ports.begin(), ports.begin() + depth);
      u3s.emplace_back(std::move(place), list[i]);
    }
    std::sort(u3s.begin(), u3s.end());
    std::unique_ptr<Transport> opened;
    for (const auto& [place, device] : u3s) {
      if ((opened = openOne(device, status))) break;
    }
    if (list) libusb_free_device_list(list, 1);
    return opened;
  }

 private:
  // Keeps the first reason a U3 could not be opened, so that "no permission" is not lost to a
  // second U3 that also failed.
  static std::unique_ptr<Transport> openOne(libusb_device* device, OpenStatus& status) {
    const std::optional<Endpoints> endpoints = findEndpoints(device);
    libusb_device_handle* handle = nullptr;
    const int rc = endpoints ? libusb_open(device, &handle) : LIBUSB_ERROR_NOT_SUPPORTED;
    if (rc != 0) {
      if (status == OpenStatus::NotFound)
        status = rc == LIBUSB_ERROR_ACCESS ? OpenStatus::NoAccess : OpenStatus::Failed;
      return nullptr;
    }
    libusb_set_auto_detach_kernel_driver(handle, 1);
    const int claimed = libusb_claim_interface(handle, kInterface);
    if (claimed != 0) {
      libusb_close(handle);
      if (status == OpenStatus::NotFound)
        status = claimed == LIBUSB_ERROR_ACCESS ? OpenStatus::NoAccess : OpenStatus::Failed;
      return nullptr;
    }
    status = OpenStatus::Opened;
    return std::make_unique<LibusbTransport>(handle, *endpoints);
  }

  libusb_context* context_ = nullptr;
};

}  // namespace

std::unique_ptr<Bus> MakeLibusbBus() { return std::make_unique<LibusbBus>(); }

}  // namespace labjack
