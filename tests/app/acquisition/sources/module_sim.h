#pragma once
// The simulated module behind libvonmodvb.so: the library is loaded by name, and finds the
// simulated libmpusbapi.so on the library search path; its controls are reached in that same
// loaded copy.

#include <dlfcn.h>

#include <memory>
#include <string>

#include "app/acquisition/sources/vonmod_library.h"
#include "platform/mpusbapi/mpusbapi.h"
#include "platform/mpusbapi/sim/sim_control.h"

namespace tidemet::testing {

// Loads the library into `library` (kept by the caller, so that the simulation stays loaded)
// and gives the simulation with `modules` modules and nothing open, or null with `why`.
inline mpusbsim::Control* LoadModuleSim(std::unique_ptr<VonmodLibrary>& library, int modules,
                                        std::string& why) {
  library = VonmodLibrary::Load(why);
  if (!library) return nullptr;
  void* pipes = dlopen(MPUSBAPI_LIBRARY_NAME, RTLD_NOW | RTLD_NOLOAD);
  if (!pipes) {
    why = "the module library did not load the simulated pipe library";
    return nullptr;
  }
  auto control = reinterpret_cast<mpusbsim::Control* (*)()>(dlsym(pipes, "MPUSBSimControl"));
  dlclose(pipes);
  if (!control) return nullptr;
  int32_t count = 0;
  library->EnumerateDev(0, &count);  // forgets what an earlier test left open
  mpusbsim::Control* sim = control();
  sim->reset(modules);
  return sim;
}

}  // namespace tidemet::testing
