#include "tools/zdaq/cli.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iomanip>
#include <optional>
#include <set>

#include "zdaq/error.h"
#include "zdaq/simulated.h"

namespace zdaq::cli {
namespace {

constexpr const char* kUsage =
    "usage: zdaq list [--simulate]\n"
    "       zdaq read DEVICE POINT... [--config ID] [--simulate]\n"
    "       zdaq sample DEVICE --points ID,ID... [--interval SECONDS] --count N [--simulate]\n"
    "--interval defaults to 0.01 s; --config sets each point's configuration before reading.\n"
    "DEVICE is a 1-based position or a device name; POINT a point ID (1..20) or name.\n"
    "sample prints one line per sample, the values in ascending point order.\n";

struct UsageError {
  std::string text;
};

struct Options {
  std::string command;
  std::vector<std::string> positional;
  std::optional<int32_t> config;
  std::vector<int32_t> points;
  double interval = 0.01;
  std::optional<long> count;
  bool simulate = false;
};

std::optional<int64_t> ParseInteger(const std::string& text) {
  int base = 10;
  std::string_view digits = text;
  if (digits.starts_with("0x") || digits.starts_with("0X")) {
    base = 16;
    digits.remove_prefix(2);
  }
  int64_t value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty())
    return std::nullopt;
  return value;
}

int32_t ParseId(const std::string& text, const char* what) {
  auto v = ParseInteger(text);
  if (!v || *v < INT32_MIN || *v > UINT32_MAX)
    throw UsageError{std::string("bad ") + what + ": " + text};
  return static_cast<int32_t>(static_cast<uint32_t>(*v));
}

Options Parse(const std::vector<std::string>& args) {
  Options o;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
      return args[++i];
    };
    if (a == "--simulate") {
      o.simulate = true;
    } else if (a == "--config") {
      o.config = ParseId(value(), "configuration ID");
    } else if (a == "--points") {
      std::string list = value();
      size_t start = 0;
      while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        o.points.push_back(ParseId(list.substr(start, comma - start), "point ID"));
        start = comma + 1;
      }
    } else if (a == "--interval") {
      const std::string& text = value();
      char* end = nullptr;
      o.interval = std::strtod(text.c_str(), &end);
      if (end == text.c_str() || *end != '\0' || !(o.interval > 0))
        throw UsageError{"bad interval: " + text};
    } else if (a == "--count") {
      auto v = ParseInteger(value());
      if (!v || *v < 1 || *v > INT32_MAX) throw UsageError{"bad count: " + args[i]};
      o.count = static_cast<long>(*v);
    } else if (a.starts_with("--")) {
      throw UsageError{"unknown option " + a};
    } else if (o.command.empty()) {
      o.command = a;
    } else {
      o.positional.push_back(a);
    }
  }
  return o;
}

// A position when the text is a number, else a name: the collection's own Item rules.
Variant Key(const std::string& text) {
  if (auto v = ParseInteger(text); v && *v >= INT32_MIN && *v <= INT32_MAX)
    return static_cast<int32_t>(*v);
  return text;
}

std::shared_ptr<ZzDaqDevice> OpenDevice(ZzDaqEnum& e, const std::string& which) {
  auto device = e.Devices()->Item(Key(which));
  device->Open();
  return device;
}

int List(ZzDaqEnum& e, std::ostream& out) {
  int32_t position = 1;
  for (const auto& d : *e.Devices())
    out << position++ << '\t' << d->Name() << '\t' << d->Interface() << '\n';
  return 0;
}

int Read(ZzDaqEnum& e, const Options& o, std::ostream& out) {
  if (o.positional.size() < 2) throw UsageError{"read needs a device and at least one point"};
  auto device = OpenDevice(e, o.positional[0]);
  for (size_t i = 1; i < o.positional.size(); ++i) {
    auto point = device->IoPoints()->Item(Key(o.positional[i]));
    if (o.config) point->Configuration(*o.config);
    out << point->ID() << '\t' << point->Value() << '\n';
  }
  device->Close();
  return 0;
}

struct DataFlag : ZzDaqDeviceEvents {
  void OnDataAvailable() override { ready = true; }
  bool ready = false;
};

int Sample(ZzDaqEnum& e, const Options& o, std::ostream& out, std::ostream& err) {
  if (o.positional.size() != 1) throw UsageError{"sample needs one device"};
  if (o.points.empty()) throw UsageError{"sample needs --points"};
  if (!o.count) throw UsageError{"sample needs --count"};
  auto device = OpenDevice(e, o.positional[0]);
  auto points = device->IoPoints();
  for (int32_t id : o.points) points->Item(id)->SamplingEnabled(1);
  device->SamplingInterval(o.interval);
  auto flag = std::make_shared<DataFlag>();
  device->Advise(flag);
  device->StartSampling();

  // Give up when the driver stays silent for much longer than the interval.
  const int timeoutMs = static_cast<int>(std::min(2000.0 + 4000.0 * o.interval, 600000.0));
  long remaining = *o.count;
  while (remaining > 0) {
    pollfd p{device->EventDescriptor(), POLLIN, 0};
    const int r = poll(&p, 1, timeoutMs);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      err << "zdaq: no samples within " << timeoutMs << " ms\n";
      device->Close();
      return 1;
    }
    device->ProcessEvents();
    if (!flag->ready) continue;
    flag->ready = false;
    const SampleArray a = device->GetSamples(static_cast<int32_t>(remaining));
    for (int32_t s = 1; s <= a.samples(); ++s) {
      for (int32_t pt = 1; pt <= a.points(); ++pt) out << (pt > 1 ? "\t" : "") << a.at(pt, s);
      out << '\n';
    }
    remaining -= a.samples();
  }
  device->StopSampling();
  device->Close();
  return 0;
}

}  // namespace

int RunWith(const std::vector<std::string>& args, const Backend& backend, std::ostream& out,
            std::ostream& err) {
  try {
    const Options o = Parse(args);
    if (o.command.empty() || o.command == "help") {
      (o.command.empty() ? err : out) << kUsage;
      return o.command.empty() ? 2 : 0;
    }
    if (o.command != "list" && o.command != "read" && o.command != "sample")
      throw UsageError{"unknown command " + o.command};
    ZzDaqEnum e(backend);
    if (o.command == "list") return List(e, out);
    if (o.command == "read") return Read(e, o, out);
    return Sample(e, o, out, err);
  } catch (const UsageError& u) {
    err << "zdaq: " << u.text << '\n' << kUsage;
    return 2;
  } catch (const Error& e) {
    err << "zdaq: " << (e.description().empty() ? "error" : e.description()) << " (0x" << std::hex
        << std::uppercase << std::setw(8) << std::setfill('0') << e.hresult() << ")\n";
    return 1;
  }
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const bool simulate = std::find(args.begin(), args.end(), "--simulate") != args.end();
  if (!simulate) return RunWith(args, Backend::system(), out, err);
  auto system = SimulatedSystem::create(/*automatic=*/true);
  system->addDevice("/dev/zdaq0", "ZDaq DAQ-20 (simulated)");
  return RunWith(args, system->makeBackend(), out, err);
}

}  // namespace zdaq::cli
