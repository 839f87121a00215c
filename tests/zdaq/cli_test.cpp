#include "tools/zdaq/cli.h"

#include <gtest/gtest.h>

#include <sstream>

#include "tests/zdaq/sim_fixture.h"

namespace zdaq::testing {
namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome RunCli(const std::vector<std::string>& args, const Backend& backend) {
  std::ostringstream out, err;
  const int status = cli::RunWith(args, backend, out, err);
  return {status, out.str(), err.str()};
}

TEST(ZdaqCliTest, ListAndRead) {
  auto system = SimulatedSystem::create(/*automatic=*/false);
  auto sim = system->addDevice(kPath, kName);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string out;
    std::string errStart;
  };
  const Case cases[] = {
      {{"list"}, 0, "1\tZDaq DAQ-20\t/dev/zdaq0\n", ""},
      {{"read", "1", "9", "10"}, 0, "9\t2000\n10\t2100\n", ""},
      {{"read", "ZDaq DAQ-20", "Analog Input 7", "Analog Output 0"}, 0, "16\t2700\n17\t0\n", ""},
      {{"read", "1", "12", "--config", "0x40000003"}, 0, "12\t2300\n", ""},
      {{"read", "2", "9"}, 1, "", "zdaq: The index is invalid. (0x80004005)\n"},
      {{"read", "1"}, 2, "", "zdaq: read needs a device and at least one point\n"},
      {{"frobnicate"}, 2, "", "zdaq: unknown command frobnicate\n"},
      {{"sample", "1", "--points", "9,x", "--count", "1"}, 2, "", "zdaq: bad point ID: x\n"},
      {{"sample", "1", "--points", "9", "--count", "0"}, 2, "", "zdaq: bad count: 0\n"},
      {{"sample", "1", "--points", "9", "--count", "5", "--interval", "-1"},
       2,
       "",
       "zdaq: bad interval: -1\n"},
      {{}, 2, "", "usage: zdaq list"},
  };
  for (const auto& c : cases) {
    const auto r = RunCli(c.args, system->makeBackend());
    SCOPED_TRACE(::testing::PrintToString(c.args));
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err.substr(0, c.errStart.size()), c.errStart);
  }
  EXPECT_EQ(sim->pointConfiguration(12), 0x40000003);
  EXPECT_FALSE(sim->opened());  // every command closes what it opened
}

TEST(ZdaqCliTest, SamplePrintsOneLinePerSample) {
  auto system = SimulatedSystem::create(/*automatic=*/true);
  system->addDevice(kPath, kName);
  const auto r = RunCli({"sample", "1", "--points", "10,9", "--interval", "0.001", "--count", "5"},
                        system->makeBackend());
  ASSERT_EQ(r.status, 0) << r.err;
  std::string expected;
  for (uint64_t k = 0; k < 5; ++k)
    expected += std::to_string(SimulatedDevice::inputValue(9, k)) + "\t" +
                std::to_string(SimulatedDevice::inputValue(10, k)) + "\n";
  EXPECT_EQ(r.out, expected);
}

TEST(ZdaqCliTest, SimulateBringsItsOwnDevice) {
  std::ostringstream out, err;
  EXPECT_EQ(cli::Run({"list", "--simulate"}, out, err), 0);
  EXPECT_EQ(out.str(), "1\tZDaq DAQ-20 (simulated)\t/dev/zdaq0\n");
  EXPECT_EQ(err.str(), "");
}

}  // namespace
}  // namespace zdaq::testing
