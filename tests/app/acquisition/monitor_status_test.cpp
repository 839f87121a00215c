#include "app/acquisition/monitor_status.h"

#include <gtest/gtest.h>

#include <memory>

namespace tidemet {
namespace {

TEST(MonitorStatusTest, TitleNamesTheSavedFileAndItsClient) {
  struct Case {
    const char* file;
    const char* client;
    const char* title;
  };
  const Case cases[] = {
      {"", "Ann Smith", "Tidemet Data Monitor"},  // an untitled trial
      {"/home/pool/trials/ann1.dat", "Ann Smith", "Tidemet Data Monitor - ann1.dat - Ann Smith"},
      {"C:\\trials\\bob.dat", "", "Tidemet Data Monitor - bob.dat"},
  };
  for (const Case& c : cases) {
    auto s = std::make_unique<Session>();
    s->CurrentFileName = c.file;
    s->DataClientName = c.client;
    EXPECT_EQ(MonitorTitle(*s), c.title);
  }
}

TEST(MonitorStatusTest, RecordingStatusCountsOnlyTheRowsThatFit) {
  struct Case {
    int16_t channels;
    int16_t sampleIndex;
    double seconds;
    const char* text;
  };
  const Case cases[] = {
      {2, 0, 0.0, "Recording: 0.0 s, 0 samples stored"},
      {2, 1234, 12.345, "Recording: 12.3 s, 1234 samples stored"},
      {8, 3751, 37.52, "Recording: 37.5 s, 3750 samples stored"},  // 3750 rows of eight fit
  };
  for (const Case& c : cases) {
    auto s = std::make_unique<Session>();
    s->ChannelCount = c.channels;
    s->SampleIndex = c.sampleIndex;
    EXPECT_EQ(RecordingStatus(*s, c.seconds), c.text);
  }
}

TEST(MonitorStatusTest, HintsSayWhatToDoWhenNothingCanBeShown) {
  auto s = std::make_unique<Session>();
  EXPECT_EQ(MonitorHint(*s, false).rfind("No interface unit is chosen, so no readings", 0), 0u);
  EXPECT_EQ(MonitorHint(*s, true).rfind("Every force label reads 0: type the sensor's", 0), 0u);
  s->AxisLabels[11] = -1;  // one label that is not 0 is enough
  EXPECT_EQ(MonitorHint(*s, true), "");
}

}  // namespace
}  // namespace tidemet
