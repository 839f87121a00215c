// tidemet-cli export --format edf|csv --out: a simulated trial written to both formats, and the
// command lines that are refused before anything is written.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "run_tool.h"
#include "tests/app/files/temp_folder.h"

namespace tidemet::cli {
namespace {

TEST(CliExportTest, WritesEdfAndCsvAndRefusesWrongCommandLines) {
  tidemet::testing::TempFolder folder;
  const std::string dir = folder.path().string();
  const std::string dat = dir + "/swim.dat";
  ASSERT_EQ(RunTool({"simulate", "--model", "0", "--seconds", "12", "--out", dat,
                     "--working-folder", dir}).status, 0);

  struct Case {
    std::vector<std::string> args;
    int status;
    const char* err;  // part of the message, "" when it succeeds
  } const cases[] = {
      {{"export", dat, "--format", "csv", "--out", dir + "/swim.csv", "--units", "us"}, 0, ""},
      {{"export", dat, "--format", "edf", "--out", dir + "/swim.edf"}, 0, ""},
      {{"export", dat, "--format", "edf"}, 2, "both --format edf|csv and --out FILE"},
      {{"export", dat, "--out", dir + "/x.edf"}, 2, "both --format edf|csv and --out FILE"},
      {{"export", dat, "--format", "pdf", "--out", dir + "/x.pdf"}, 2, "invalid value 'pdf' for --format"},
      {{"export", dat, dat, "--format", "csv", "--out", dir + "/x.csv"}, 2, "takes one FILE"},
      {{"export", dat, "--smoothed", "--format", "csv", "--out", dir + "/x.csv"}, 2, "--smoothed"},
      {{"export", dir + "/swim.sum", "--format", "csv", "--out", dir + "/x.csv"}, 1, "holds no samples"},
      {{"export", dat, "--format", "csv", "--out", dir + "/no/such/folder.csv"}, 1, "folder.csv"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--working-folder", dir});
    const Result r = RunTool(args);
    EXPECT_EQ(r.status, c.status) << c.args[c.args.size() - 1] << ": " << r.err;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir + "/x.csv"));

  std::ifstream csv(dir + "/swim.csv", std::ios::binary);
  std::string header, first;
  std::getline(csv, header);
  std::getline(csv, first);
  EXPECT_EQ(header, "Time (s),Ch1 (lbs),Ch2 (lbs)\r");
  EXPECT_EQ(first.substr(0, 7), "0.0000,");
  std::ifstream edf(dir + "/swim.edf", std::ios::binary);
  char version[8] = {};
  edf.read(version, 8);
  EXPECT_EQ(std::string(version, 8), "0       ");  // EDF's version field
}

}  // namespace
}  // namespace tidemet::cli
