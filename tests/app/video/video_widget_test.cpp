#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <fstream>
#include <map>

#include "../files/temp_folder.h"
#include "app/acquisition/live_graph_widget.h"
#include "app/acquisition/monitor_window.h"
#include "app/video/video_frame_widget.h"
#include "app/video/video_panel_widget.h"
#include "app/video/video_playback_widget.h"
#include "coded_video.h"
#include "support/demo_monitor.h"

namespace tidemet {
namespace {

// Waits for `done` with a generous limit: the machine may be busy.
template <typename F>
bool WaitFor(F done, int limitMs = 30000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < limitMs)
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  return done();
}

TEST(VideoPlaybackTest, StepsOneFrameAtATimeBothWaysAndReportsTheSample) {
  testing::TempFolder folder;
  const auto file = folder.path() / "coded.avi";
  ASSERT_EQ(testing::WriteCodedVideo(file, 90), "");
  VideoPlaybackWidget playback;
  // 3 s recorded as samples 0..300: 100 samples a second beside 30 frames.
  playback.setTrial(300, 3.0f);
  QSignalSpy shown(&playback, &VideoPlaybackWidget::frameShown);
  // Opened twice: a second file replaces the first cleanly.
  for (int round = 0; round < 2; ++round) {
    playback.open(file);
    ASSERT_TRUE(WaitFor([&] { return playback.frame() == 0; })) << "round " << round;
    EXPECT_EQ(playback.frameCount(), 90);
    EXPECT_EQ(testing::FrameNumberShown(playback.image()), 0);
  }
  const std::map<int, int> samples{{1, 5}, {2, 8}, {29, 98}, {30, 101}};
  for (int step = 1; step <= 30; ++step) {
    shown.clear();
    playback.Step();
    ASSERT_TRUE(WaitFor([&] { return !shown.isEmpty(); })) << "step " << step;
    EXPECT_EQ(playback.frame(), step);
    EXPECT_EQ(testing::FrameNumberShown(playback.image()), step);
    EXPECT_EQ(shown.last().at(0).toInt(), step);
    if (samples.count(step)) {
      EXPECT_EQ(shown.last().at(1).toInt(), samples.at(step));
    }
  }
  for (int step = 29; step >= 0; --step) {
    shown.clear();
    playback.Back();
    ASSERT_TRUE(WaitFor([&] { return !shown.isEmpty(); })) << "back to " << step;
    EXPECT_EQ(playback.frame(), step);
    EXPECT_EQ(testing::FrameNumberShown(playback.image()), step);
  }
  playback.Back();  // nothing before the first frame: it stays
  EXPECT_EQ(playback.frame(), 0);
  EXPECT_EQ(testing::FrameNumberShown(playback.image()), 0);
  // A click in the graph at sample 250 (2.5 s) shows frame 75; Prev goes back to the start.
  playback.showSample(250);
  ASSERT_TRUE(WaitFor([&] { return playback.frame() == 75; }));
  EXPECT_EQ(testing::FrameNumberShown(playback.image()), 75);
  playback.Prev();
  ASSERT_TRUE(WaitFor([&] { return playback.frame() == 0; }));
  EXPECT_EQ(testing::FrameNumberShown(playback.image()), 0);
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

TEST(VideoCaptureTest, DemoCameraRecordsAPlayableFileTwiceAndNoCameraRecordsNothing) {
  testing::TempFolder folder;
  Session s;
  RecordingAlerts alerts;
  const auto file = folder.path() / "capture.avi";
  VideoPanelWidget panel(s, alerts, file, folder.path());
  panel.setSource(std::nullopt);
  EXPECT_EQ(panel.captureView().text(), "No camera was found. Recordings go on without video.");
  panel.recordingStarted();
  EXPECT_EQ(panel.button().state(), CaptureState::NoCamera);

  panel.setSource(CaptureSource{CaptureSource::Kind::DemoPattern, {}});
  QSignalSpy ended(&panel, &VideoPanelWidget::captureEnded);
  for (int round = 0; round < 2; ++round) {
    ended.clear();
    panel.recordingStarted();
    ASSERT_EQ(panel.button().state(), CaptureState::Capturing);
    // The preview shows pictures while the capture runs.
    ASSERT_TRUE(WaitFor([&] { return !panel.captureView().image().isNull(); })) << round;
    panel.recordingStopped();
    ASSERT_TRUE(WaitFor([&] { return !ended.isEmpty(); })) << round;
    EXPECT_TRUE(ended.first().at(0).toBool());  // with the recording
    ASSERT_TRUE(ended.first().at(1).toBool()) << panel.captureView().text().toStdString();
    EXPECT_EQ(panel.button().state(), CaptureState::Ready);
    const CaptureStatus status = panel.button().lastStatus();
    EXPECT_GT(status.frames, 0);
    EXPECT_EQ(status.buffers, 10);

    VideoPlaybackWidget playback;
    playback.open(file);
    ASSERT_TRUE(WaitFor([&] { return playback.frame() == 0; })) << round;
    // The file holds what was counted, give or take the frame being written at the stop.
    EXPECT_NEAR(playback.frameCount(), status.frames, 1);
  }
  EXPECT_TRUE(alerts.shown.empty());
}

TEST(MonitorVideoTest, RecordingsWithVideoKeepTheirPairAndTheGraphsFollowTheFrames) {
  testing::TempFolder folder;
  auto s = testing::DemoSession();
  s->WorkingFolder = folder.path().string();
  RecordingAlerts alerts;
  std::vector<std::string> saved;
  MonitorWindow::TrialFiles files{{}, [&](const std::string& path) {
                                    saved.push_back(path);
                                    std::ofstream(path) << "trial";
                                    return true;
                                  }};
  MonitorWindow window(*s, alerts, files);
  window.videoPane().setVideoLayout(VideoLayout::Beside);
  QSignalSpy shown(&window.videoPane().panel().playback(), &VideoPlaybackWidget::frameShown);
  for (int round = 0; round < 2; ++round) {
    window.StartMonitor();
    window.StartCmd();
    ASSERT_EQ(window.videoPane().panel().button().state(), CaptureState::Capturing);
    ASSERT_TRUE(WaitFor(
        [&] { return s->SampleIndex >= 100 && !window.videoPane().panel().captureView().image().isNull(); }));
    window.StartCmd();
    ASSERT_EQ(saved.size(), static_cast<size_t>(round + 1));
    EXPECT_EQ(saved.back(), (folder.path() / "TEMP.DAT").string());
    ASSERT_TRUE(
        WaitFor([&] { return window.videoPane().heldVideo() && window.videoPane().panel().playback().frame() == 0; }));
    EXPECT_EQ(window.videoPane().heldPair().video, folder.path() / "TEMP.AVI");
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "TEMP.AVI"));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "capture.avi"));
    // Frame 15 (0.5 s in) puts the marker of both graphs on the sample taken meanwhile.
    shown.clear();
    window.videoPane().panel().playback().showFrame(15);
    ASSERT_TRUE(WaitFor([&] { return !shown.isEmpty(); }));
    const int sample = shown.last().at(1).toInt();
    EXPECT_NEAR(sample, 50, 8);
    EXPECT_EQ(window.graph(0).marker(), sample);
    EXPECT_EQ(window.graph(1).marker(), sample);
  }
  EXPECT_TRUE(alerts.shown.empty());
}

}  // namespace
}  // namespace tidemet
