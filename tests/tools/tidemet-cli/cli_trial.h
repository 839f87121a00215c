#pragma once
// A trial file for the tool's tests, in a fresh folder: column 0 four strokes of 300 counts,
// column 1 two strokes and a long rest; 100 samples a second, 10 sq cm, model 0 (0.00976 N per
// count): 29.28 N per 300 counts.

#include <gtest/gtest.h>

#include <string>

#include "app/files/safe_file.h"
#include "app/files/trial_file_format.h"
#include "tests/app/analysis/trace_builder.h"
#include "tests/app/files/temp_folder.h"

namespace tidemet::cli {

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto s = tidemet::testing::TwoHandTrial();
    s->DataClientName = "Ann Lee";
    s->PairLabel = "Hand";
    s->SurfaceArea = 10;
    s->PairAreas = {10, 10, 10, 10};
    s->GraphGain = 1.0f;
    s->ClientHeight = "165";
    s->ClientWeight = "58 ";
    dat = path("visit.dat");
    ASSERT_FALSE(WriteFileAtomically(dat, TrialFileBytes(*s)));
  }
  std::string path(const char* name) const { return (folder.path() / name).string(); }
  tidemet::testing::TempFolder folder;
  std::string dat;
};

}  // namespace tidemet::cli
