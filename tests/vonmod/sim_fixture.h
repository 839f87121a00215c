#pragma once
// Tests drive the real libvonmodvb.so, which found the simulated libmpusbapi.so through the
// library search path; the fixture reaches the simulation's controls in that same loaded copy.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/sim/sim_control.h"
#include "vonmod/include/vonmod.h"

namespace vonmod_test {

using Bytes = std::vector<uint8_t>;
using mpusbsim::Call;
using mpusbsim::Fault;

class SimModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    void* pipes = dlopen(MPUSBAPI_LIBRARY_NAME, RTLD_NOW | RTLD_NOLOAD);
    auto control = reinterpret_cast<mpusbsim::Control* (*)()>(
        pipes == nullptr ? nullptr : dlsym(pipes, "MPUSBSimControl"));
    sim = control != nullptr ? control() : nullptr;
    ASSERT_NE(sim, nullptr) << "libvonmodvb.so did not load the simulated " MPUSBAPI_LIBRARY_NAME;
    int32_t count = -1;
    Vonmod_EnumerateDev(0, &count);  // releases what an earlier test left open
    sim->reset(1);
    ASSERT_EQ(Vonmod_EnumerateDev(0, &count), 0);
    ASSERT_EQ(count, 1);
    ASSERT_EQ(Vonmod_OpenDevice(0, 0, &session), 0);
    sim->clearCalls();
  }

  Bytes lastRequest() const {
    const auto all = sim->requests();
    return all.empty() ? Bytes{} : all.back();
  }

  std::vector<Call> callsOf(Call::Kind kind) const {
    std::vector<Call> out;
    for (const Call& c : sim->calls())
      if (c.kind == kind) out.push_back(c);
    return out;
  }

  // Handles that the library closed, in order.
  std::vector<int32_t> closed() const {
    std::vector<int32_t> out;
    for (const Call& c : callsOf(Call::Close)) out.push_back(c.handle);
    return out;
  }

  mpusbsim::Control* sim = nullptr;
  VonmodSession session{};
};

}  // namespace vonmod_test
