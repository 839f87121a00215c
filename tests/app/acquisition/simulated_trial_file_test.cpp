// A demo recording saved and opened again gives back the trial it recorded.
#include <gtest/gtest.h>

#include <memory>

#include "app/acquisition/simulated_recording.h"
#include "app/files/temp_folder.h"
#include "app/files/trial_file.h"

namespace tidemet {
namespace {

TEST(SimulatedTrialFileTest, SavedDemoTrialOpensWithIdenticalSamples) {
  for (int16_t channels : {2, 8}) {
    testing::TempFolder folder;
    auto recorded = std::make_unique<Session>();
    recorded->ChannelCount = channels;
    recorded->DataClientName = recorded->ClientName = "Client";
    RecordingAlerts alerts;
    DemoParameters p;
    p.seed = 7;
    RecordSimulatedTrial(*recorded, alerts, 12.0, p);

    ClientList clients({"Client                                170    70     "});
    clients.select(0);
    NoComparison comparison;
    NoSummaryFile summary;
    TrialFileContext ctx{alerts, clients, comparison, summary};
    const std::string path = (folder.path() / "demo.dat").string();
    ASSERT_TRUE(SaveTrialFile(*recorded, ctx, path));

    auto opened = std::make_unique<Session>();
    opened->ClientName = opened->DataClientName = "Client";
    ASSERT_TRUE(OpenTrialFile(*opened, ctx, path)) << (alerts.shown.empty() ? "" : alerts.shown.back().text);
    EXPECT_EQ(opened->SampleCount, recorded->SampleCount);
    EXPECT_EQ(opened->ChannelCount, channels);
    EXPECT_FLOAT_EQ(opened->TrialSeconds, recorded->TrialSeconds);
    EXPECT_EQ(opened->RecordedModelCode, 0);
    for (int k = 0; k < recorded->SampleCount; ++k) {
      for (int c = recorded->SaveFirstChannel; c <= recorded->SaveLastChannel; ++c) {
        const int i = k * channels + c;
        ASSERT_EQ(opened->TrialData[i], recorded->TrialData[i]) << "sample " << k << " channel " << c;
      }
    }
  }
}

}  // namespace
}  // namespace tidemet
