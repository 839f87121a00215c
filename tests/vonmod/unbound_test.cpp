// libvonmodvb.so loaded where the pipe library is missing or incomplete: it says so on standard
// error, loads anyway, and acts as if no module were attached.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "vonmod/include/vonmod.h"

namespace {

template <typename Fn>
Fn symbol(void* library, const char* name) {
  return reinterpret_cast<Fn>(dlsym(library, name));
}

TEST(UnboundTest, ReportsAndBehavesAsIfNoModuleWereAttached) {
  testing::internal::CaptureStderr();
  void* library = dlopen(VONMOD_LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
  const std::string errors = testing::internal::GetCapturedStderr();
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_EQ(errors, VONMOD_EXPECTED_ERROR "\n");

  auto enumerate = symbol<decltype(&Vonmod_EnumerateDev)>(library, "Vonmod_EnumerateDev");
  auto open = symbol<decltype(&Vonmod_OpenDevice)>(library, "Vonmod_OpenDevice");
  auto version = symbol<decltype(&Vonmod_GetFirmwareVersion)>(library, "Vonmod_GetFirmwareVersion");
  ASSERT_TRUE(enumerate && open && version);

  int32_t count = -1;
  EXPECT_EQ(enumerate(0, &count), 0);
  EXPECT_EQ(count, 0);
  VonmodSession session{0, 0, 0, -1, -1};
  EXPECT_EQ(open(0, 0, &session), 2);
  VonmodSession madeUp{0, 0, 0, 5, 6};  // pipes that were never opened
  int32_t firmware = 0;
  EXPECT_EQ(version(&madeUp, &firmware), 8);
}

}  // namespace
