#include <gtest/gtest.h>

#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <fstream>

#include "../files/temp_folder.h"
#include "app/acquisition/live_graph_widget.h"
#include "app/acquisition/monitor_window.h"
#include "app/video/reference_curve_widget.h"
#include "app/video/video_frame_widget.h"
#include "app/video/video_panel_widget.h"
#include "app/video/video_playback_widget.h"
#include "coded_video.h"
#include "support/demo_monitor.h"

namespace tidemet {
namespace {

// Waits for `done` with a generous limit: the machine may be busy.
template <typename F>
bool WaitFor(F done) {
  return testing::RunEventsUntil(done, 30000);
}

TEST(VideoPlaybackTest, StepsOneFrameAtATimeBothWaysAndReportsTheSample) {
  testing::TempFolder folder;
  const auto file = folder.path() / "coded.avi";
  ASSERT_EQ(testing::WriteCodedVideo(file, 90), "");
  VideoPlaybackWidget playback;
  // 3 s recorded as samples 0..300: 100 samples a second beside 30 frames.
  playback.setTrial(300, 3.0f);
  QSignalSpy shown(&playback, &VideoPlaybackWidget::frameShown);
  // Opening again is the monitor's video test's.
  playback.open(file);
  ASSERT_TRUE(WaitFor([&] { return playback.frame() == 0; }));
  EXPECT_EQ(playback.frameCount(), 90);
  EXPECT_EQ(testing::FrameNumberShown(playback.image()), 0);
  auto expectShown = [&](int frame, const std::string& how) {
    ASSERT_TRUE(WaitFor([&] { return !shown.isEmpty(); })) << how;
    ASSERT_EQ(playback.frame(), frame) << how;  // the next step starts from there
    EXPECT_EQ(testing::FrameNumberShown(playback.image()), frame) << how;
    EXPECT_EQ(shown.last().at(0).toInt(), frame) << how;
  };
  for (int frame = 1; frame <= 30; ++frame) {
    shown.clear();
    playback.Step();
    ASSERT_NO_FATAL_FAILURE(expectShown(frame, "Step to " + std::to_string(frame)));
  }
  EXPECT_EQ(shown.last().at(1).toInt(), 101);  // the sample taken at the middle of frame 30
  // Back and Prev each go one frame back, taking turns.
  for (int frame = 29; frame >= 0; --frame) {
    shown.clear();
    const bool prev = frame % 2;
    prev ? playback.Prev() : playback.Back();
    ASSERT_NO_FATAL_FAILURE(
        expectShown(frame, (prev ? "Prev to " : "Back to ") + std::to_string(frame)));
  }
  playback.Prev();  // nothing before the first frame: it stays
  playback.Back();
  EXPECT_EQ(playback.frame(), 0);
  EXPECT_EQ(testing::FrameNumberShown(playback.image()), 0);
  // A click in the graph at sample 250 (2.5 s) shows frame 75; Prev then shows frame 74.
  playback.showSample(250);
  ASSERT_TRUE(WaitFor([&] { return playback.frame() == 75; }));
  EXPECT_EQ(testing::FrameNumberShown(playback.image()), 75);
  shown.clear();
  playback.Prev();
  ASSERT_NO_FATAL_FAILURE(expectShown(74, "Prev from 75"));
}

TEST(VideoPlaybackTest, AFileThatIsNoVideoIsReported) {
  testing::TempFolder folder;
  const auto file = folder.path() / "broken.avi";
  std::ofstream(file) << "RIFF not really";
  VideoPlaybackWidget playback;
  QSignalSpy failed(&playback, &VideoPlaybackWidget::failed);
  playback.open(file);
  ASSERT_TRUE(WaitFor([&] { return !failed.isEmpty(); }));
  EXPECT_FALSE(playback.ready());
  playback.Step();  // harmless
  EXPECT_EQ(playback.frame(), -1);
}

// The panel says what is missing: a camera (recordings go on without video; recording with the
// demo camera is the monitor's test below) or a reference video (named once).
TEST(VideoPanelTest, NoCameraRecordsWithoutVideoAndShowZolaNamesAMissingVideoOnce) {
  testing::TempFolder folder;  // holds no reference video
  Session s;
  RecordingAlerts alerts;
  VideoPanelWidget panel(s, alerts, folder.path() / "capture.avi", folder.path());
  panel.setSource(std::nullopt);
  EXPECT_EQ(panel.captureView().text(), "No camera was found. Recordings go on without video.");
  panel.recordingStarted();
  EXPECT_EQ(panel.button().state(), CaptureState::NoCamera);

  auto* zola = panel.findChild<QPushButton*>(QStringLiteral("ZOLA"));
  ASSERT_NE(zola, nullptr);
  // Shown, hidden and shown again for freestyle, then for butterfly.
  const struct {
    int16_t swimFlag;
    const char* caption;
    const char* message;
    int cycleSamples;
    size_t alerts;
  } presses[] = {
      {1, "Hide ZOLA", "The reference video M11FRFROA.AVI was not found.", 150, 1},
      {1, "Show ZOLA", nullptr, 0, 1},
      {1, "Hide ZOLA", "The reference video M11FRFROA.AVI was not found.", 150, 1},
      {4, "Show ZOLA", nullptr, 0, 1},
      {4, "Hide ZOLA", "The reference video M11FLFRO2.AVI was not found.", 125, 2},
  };
  for (const auto& press : presses) {
    SCOPED_TRACE(::testing::Message() << "press " << &press - presses);
    s.SwimFlag = press.swimFlag;
    zola->click();
    EXPECT_EQ(zola->text(), press.caption);
    EXPECT_EQ(panel.showingReference(), press.message != nullptr);
    if (press.message) {
      EXPECT_EQ(panel.reference().message(), press.message);
      EXPECT_EQ(panel.referenceCurve().curve().cycleSamples, press.cycleSamples);
    }
    EXPECT_EQ(alerts.shown.size(), press.alerts);
  }
  EXPECT_EQ(alerts.shown.back().text, "The reference video " +
                                          (folder.path() / "M11FLFRO2.AVI").string() +
                                          " was not found.\r\nInstall it there to show it.");
}

TEST(MonitorVideoTest, RecordingsKeepTheirPairWhichReopensWithItsVideoAndTheGraphsFollowIt) {
  testing::TempFolder folder;
  auto s = testing::DemoSession();
  s->WorkingFolder = folder.path().string();
  RecordingAlerts alerts;
  std::vector<std::string> opened, saved;
  MonitorWindow::TrialFiles files{[&](const std::string& path) {
                                    opened.push_back(path);
                                    return true;
                                  },
                                  [&](const std::string& path) {
                                    saved.push_back(path);
                                    std::ofstream(path) << "trial";
                                    return true;
                                  }};
  MonitorWindow window(*s, alerts, files);
  MonitorVideoPaneWidget& pane = window.videoPane();
  VideoPlaybackWidget& playback = pane.panel().playback();
  pane.setVideoLayout(VideoLayout::Beside);
  QSignalSpy shown(&playback, &VideoPlaybackWidget::frameShown);
  for (int round = 0; round < 2; ++round) {
    window.StartMonitor();
    window.StartCmd();
    ASSERT_EQ(pane.panel().button().state(), CaptureState::Capturing);
    ASSERT_TRUE(WaitFor(
        [&] { return s->SampleIndex >= 150 && !pane.panel().captureView().image().isNull(); }));
    window.StartCmd();
    ASSERT_EQ(saved.size(), static_cast<size_t>(round + 1));
    ASSERT_TRUE(WaitFor([&] { return pane.heldVideo() && playback.frame() == 0; }));
    EXPECT_EQ(pane.heldPair().video, folder.path() / "TEMP.AVI");
    // The file holds what the capture counted, give or take the frame being written at the stop.
    EXPECT_NEAR(playback.frameCount(), pane.panel().button().lastStatus().frames, 1);
    // Frame 15 (0.5 s in) puts the marker of both graphs on the sample taken meanwhile.
    shown.clear();
    playback.showFrame(15);
    ASSERT_TRUE(WaitFor([&] { return !shown.isEmpty(); }));
    const int sample = shown.last().at(1).toInt();
    EXPECT_NEAR(sample, 50, 8);
    EXPECT_EQ(window.graph(0).marker(), sample);
    EXPECT_EQ(window.graph(1).marker(), sample);
  }

  ASSERT_TRUE(window.saveTrial((folder.path() / "swim").string()));
  const auto swim = folder.path() / "swim.DAT";
  EXPECT_TRUE(std::filesystem::exists(folder.path() / "swim.AVI"));
  std::ofstream(folder.path() / "plain.dat") << "trial";
  // Playback is offered for the pair, not for a trial without video, and again for the pair.
  for (const auto& file : {swim, folder.path() / "plain.dat", swim}) {
    window.openTrial(file.string());
    EXPECT_EQ(opened.back(), file.string());
    if (file == swim) {
      ASSERT_TRUE(WaitFor([&] { return playback.frame() == 0; })) << file;
      EXPECT_TRUE(pane.panel().showingPlayback());
      EXPECT_EQ(playback.file(), folder.path() / "swim.AVI");
    } else {
      EXPECT_FALSE(pane.heldVideo());
      EXPECT_FALSE(pane.panel().showingPlayback());
      EXPECT_FALSE(playback.isOpen());
    }
  }
  // A click a fifth of the way across the first page (sample 110) shows the frame of that time.
  LiveGraphWidget& graph = window.graph(0);
  const int clicked = kSweepWidth / 5;
  const int x = (clicked * graph.width() + kSweepWidth - 1) / kSweepWidth;
  shown.clear();
  QTest::mouseClick(&graph, Qt::LeftButton, {}, QPoint(x, graph.height() / 2));
  ASSERT_TRUE(WaitFor([&] { return !shown.isEmpty(); }));
  EXPECT_NEAR(playback.frame(), clicked * s->TrialSeconds / s->SampleCount * 30.0, 1.0);
  EXPECT_NEAR(graph.marker(), clicked, 5);
  EXPECT_EQ(graph.marker(), shown.last().at(1).toInt());
  EXPECT_TRUE(alerts.shown.empty());
}

}  // namespace
}  // namespace tidemet
