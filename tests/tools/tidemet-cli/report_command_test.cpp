#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "cli_trial.h"
#include "run_tool.h"

namespace tidemet::cli {
namespace {

using ReportCommandTest = CliTest;

TEST_F(ReportCommandTest, TextLinesAndPdfOfTheSameReport) {
  const Result text = RunTool({"report", dat, "--format", "text", "--mode", "impulse"});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Client: Ann Lee"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Filename: VISIT.DAT"), std::string::npos);
  EXPECT_NE(text.out.find("\nRep      Time     Impulse  Time     Impulse"), std::string::npos);
  EXPECT_EQ(text.out.find('\f'), std::string::npos);  // one page

  const std::string pdf = (folder.path() / "visit.pdf").string();
  for (int run = 0; run < 2; ++run) {  // a second report over the first
    const Result written = RunTool({"report", dat, "--out", pdf, "--mode", "impulse"});
    ASSERT_EQ(written.status, 0) << written.err;
    const std::string txt = pdf + ".txt";
    ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + txt + "'").c_str()), 0);
    std::ifstream in(txt);
    const std::string layout((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(layout.find("Performance Report"), std::string::npos);
    EXPECT_NE(layout.find("Filename: VISIT.DAT"), std::string::npos) << layout;
    EXPECT_NE(layout.find("Page: 1"), std::string::npos);
  }
}

TEST_F(ReportCommandTest, RefusalsAndWrongUsage) {
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"report", "visit.dat"}, 2, "report needs --out FILE.pdf or --format text"},
      {{"report", "a.dat", "b.dat", "--format", "text"}, 2, "report takes one FILE"},
      {{"report", "a.dat", "--smoothed", "--format", "text"},
       2,
       "option '--smoothed' does not apply"},
      {{"report", "/nowhere/gone.dat", "--format", "text"}, 1, "cannot be opened"},
  };
  for (const Case& c : cases) {
    const Result r = RunTool(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1];
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
  const Result unwritable = RunTool({"report", dat, "--out", "/nowhere/x.pdf"});
  EXPECT_EQ(unwritable.status, 1);
  EXPECT_NE(unwritable.err.find("/nowhere/x.pdf"), std::string::npos);
}

}  // namespace
}  // namespace tidemet::cli
