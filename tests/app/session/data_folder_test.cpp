// The program finds share/tidemet beside its bin folder wherever the tree was put.
#include <gtest/gtest.h>

#include <fstream>

#include "app/files/temp_folder.h"
#include "app/session/data_folder.h"

namespace tidemet {
namespace {

TEST(DataFolderTest, ShareTidemetBesideTheExecutableElseTheConfiguredFolder) {
  testing::TempFolder root;
  std::filesystem::create_directories(root.path() / "usr/bin");
  std::filesystem::create_directories(root.path() / "usr/share/tidemet/manual");
  std::filesystem::create_directories(root.path() / "build/bin");
  std::ofstream(root.path() / "build/share") << "a file, not a folder";
  const std::string r = root.path().string();
  struct Case {
    std::string executable, expected;
  } const cases[] = {
      {r + "/usr/bin/tidemet", r + "/usr/share/tidemet/"},
      {r + "/usr/bin/../bin/tidemet", r + "/usr/share/tidemet/"},
      {r + "/build/bin/tidemet", "/usr/share/tidemet/"},
      {"", "/usr/share/tidemet/"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DataFolderFor(c.executable, "/usr/share/tidemet"), c.expected) << c.executable;
}

}  // namespace
}  // namespace tidemet
