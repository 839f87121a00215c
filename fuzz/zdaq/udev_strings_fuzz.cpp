// The strings udev hands the discovery for each record - action, device node, model, product,
// any of them absent, empty, long or odd - turned into events and applied by an enumerator.
// The enumerator's device collection stays consistent with the arrivals and removals.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "zdaq/enumerator.h"
#include "zdaq/simulated.h"
#include "zdaq/src/udev_discovery.h"

namespace {

// Hands the enumerator the events made from the fuzz input, once.
class ScriptedDiscovery final : public zdaq::Discovery {
 public:
  explicit ScriptedDiscovery(std::vector<zdaq::DiscoveryEvent> events)
      : events_(std::move(events)) {}
  std::vector<zdaq::DeviceInfo> enumerate() override { return {}; }
  int descriptor() const override { return -1; }
  std::vector<zdaq::DiscoveryEvent> takeEvents() override { return std::exchange(events_, {}); }

 private:
  std::vector<zdaq::DiscoveryEvent> events_;
};

// A string field: a byte of 0 is an absent string, else its length + 1 and the bytes.
std::optional<std::string> field(const uint8_t*& data, size_t& size) {
  if (size == 0) return std::nullopt;
  const size_t length = data[0];
  ++data, --size;
  if (length == 0) return std::nullopt;
  const size_t n = std::min(length - 1, size);
  std::string out(reinterpret_cast<const char*>(data), n);
  data += n, size -= n;
  return out;
}

const char* cString(const std::optional<std::string>& s) { return s ? s->c_str() : nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<zdaq::DiscoveryEvent> events;
  while (size > 0 && events.size() < 64) {
    const auto action = field(data, size), node = field(data, size), model = field(data, size),
               product = field(data, size);
    const zdaq::DeviceInfo info =
        zdaq::DescribeDevice(cString(node), cString(model), cString(product));
    // A C string ends at its first zero byte, as udev's do.
    if (info.path != (node ? std::string(node->c_str()) : std::string())) __builtin_trap();
    if (auto event = zdaq::EventFor(cString(action), info)) events.push_back(*event);
  }
  auto system = zdaq::SimulatedSystem::create();
  zdaq::Backend backend = system->makeBackend();
  backend.discovery = [events] { return std::make_unique<ScriptedDiscovery>(events); };
  zdaq::ZzDaqEnum enumerator(backend);
  enumerator.ProcessEvents();
  auto devices = enumerator.Devices();
  std::set<std::string> paths;
  for (int32_t i = 1; i <= devices->Count(); ++i) {
    const std::string path = devices->Item(zdaq::Variant(i))->Interface();
    if (path.empty() || !paths.insert(path).second) __builtin_trap();
  }
  return 0;
}
