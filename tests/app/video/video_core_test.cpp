#include <gtest/gtest.h>

#include <algorithm>

#include "../session/list_folder.h"
#include "app/video/capture_status.h"
#include "app/video/frame_mapping.h"
#include "app/video/reference_curve.h"
#include "app/video/video_files.h"

namespace tidemet {
namespace {

using Action = CaptureButton::Action;

TEST(VideoCoreTest, CaptureTimeIsKeptToHundredthsRoundedHalfToEven) {
  const struct {
    int64_t ms;
    double seconds;
  } cases[] = {{12346, 12.35}, {12345, 12.34}, {12355, 12.36}, {5, 0.0}, {15, 0.02}, {0, 0.0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(CaptureSeconds(c.ms), c.seconds) << c.ms;

  const VideoFigures f = CaptureFigures({5000, 150, 2, 10});
  EXPECT_FLOAT_EQ(f.videoRate, 30.0f);
  EXPECT_EQ(f.droppedFrames, 2);
  EXPECT_EQ(f.lastFrame, 149);
  const VideoFigures none = CaptureFigures({});
  EXPECT_EQ(none.videoTime + none.videoRate, 0.0f);
  EXPECT_EQ(none.videoFrames + none.lastFrame + none.videoBuffers, 0);
}

TEST(VideoCoreTest, CaptureButtonFollowsPressesAndRecordings) {
  enum Event { Press, RecStart, RecStop, Finished, Failed, NoCam, Cam };
  // A recording, a capture by hand, a camera lost and found, a failed capture.
  const struct {
    Event event;
    Action action;
    const char* caption;
    bool enabled;
    bool paired;
  } script[] = {
      {RecStart, Action::Start, "Stop Video Capture", true, true},
      {RecStart, Action::None, "Stop Video Capture", true, true},
      {RecStop, Action::Stop, "Stop Video Capture", false, true},
      // The file is still being completed.
      {Press, Action::None, "Stop Video Capture", false, true},
      {RecStart, Action::None, "Stop Video Capture", false, true},
      {Finished, Action::None, "Start Video Capture", true, true},
      {Press, Action::Start, "Stop Video Capture", true, false},
      {NoCam, Action::None, "Stop Video Capture", true, false},
      {RecStop, Action::None, "Stop Video Capture", true, false},  // a capture by hand goes on
      {Press, Action::Stop, "Stop Video Capture", false, false},
      {Failed, Action::None, "Start Video Capture", true, false},
      {NoCam, Action::None, "Start Video Capture", false, false},
      {RecStart, Action::None, "Start Video Capture", false, false},
      {Cam, Action::None, "Start Video Capture", true, false},
  };
  CaptureButton button(true);
  for (const auto& step : script) {
    SCOPED_TRACE(::testing::Message() << "row " << &step - script);
    Action action = Action::None;
    if (step.event == Press) action = button.press();
    if (step.event == RecStart) action = button.recordingStarted();
    if (step.event == RecStop) action = button.recordingStopped();
    if (step.event == Finished) button.finished({1000, 30, 0, 10});
    if (step.event == Failed) button.failed();
    if (step.event == NoCam || step.event == Cam) button.setCamera(step.event == Cam);
    EXPECT_EQ(action, step.action);
    EXPECT_EQ(button.caption(), step.caption);
    EXPECT_EQ(button.enabled(), step.enabled);
    EXPECT_EQ(button.withRecording(), step.paired);
  }
  EXPECT_EQ(button.lastStatus().frames, 0);  // the failed capture left nothing to show
}

TEST(VideoCoreTest, KeptTrialIsTempOrTheSwimmingAutosaveName) {
  const struct {
    int16_t mode, autosave;
    const char* code;
    const char* stroke;
    const char* base;
  } cases[] = {
      {3, 1, "ab", "Freestyle", "AB1FR"},
      {3, 0, "ab", "Freestyle", "TEMP"},
      {1, 1, "ab", "Elbow", "TEMP"},
  };
  for (const auto& c : cases) {
    Session s;
    s.ExerciseMode = c.mode;
    s.AutosaveFlag = c.autosave;
    s.ClientCode = c.code;
    s.Stroke = c.stroke;
    const TrialPair pair = KeptPair(s, "/w");
    EXPECT_EQ(pair.data, std::filesystem::path("/w") / (std::string(c.base) + ".DAT"));
    EXPECT_EQ(pair.video, std::filesystem::path("/w") / (std::string(c.base) + ".AVI"));
  }
  EXPECT_EQ(SavedPair("/x/trial.dat").data, "/x/trial.DAT");
  EXPECT_EQ(SavedPair("/x/trial.dat").video, "/x/trial.AVI");
  EXPECT_EQ(SavedPair("/x/run").video, "/x/run.AVI");
}

TEST(VideoCoreTest, SavingMovesThePairAndKeepsAVideoThatCannotMove) {
  testing::ListFolder folder;
  const TrialPair temp{folder.path() / "TEMP.DAT", folder.path() / "TEMP.AVI"};
  // With video: both move; a second recording saved the same way moves its own pair.
  for (const char* name : {"trial1.dat", "trial2.dat"}) {
    folder.write(temp.data, std::string("data of ") + name);
    folder.write(temp.video, std::string("video of ") + name);
    const PairSave saved = MovePairForSave(temp, true, folder.path() / name);
    EXPECT_TRUE(saved.videoMoved);
    EXPECT_FALSE(saved.videoError);
    EXPECT_EQ(folder.read(saved.saved.video), std::string("video of ") + name);
    EXPECT_EQ(folder.read(saved.saved.data), std::string("data of ") + name);
    EXPECT_FALSE(std::filesystem::exists(temp.video));
    EXPECT_EQ(FindPairedVideo(saved.saved.data), saved.saved.video);
  }
  // Without video only the data file moves; a TEMP.AVI of an older trial is left alone.
  folder.write(temp.data, "data 3");
  folder.write(temp.video, "older video");
  PairSave saved = MovePairForSave(temp, false, folder.path() / "trial3.dat");
  EXPECT_FALSE(saved.videoMoved);
  EXPECT_EQ(folder.read(folder.path() / "trial3.DAT"), "data 3");
  EXPECT_EQ(folder.read(temp.video), "older video");
  EXPECT_FALSE(FindPairedVideo(folder.path() / "trial3.DAT"));
  // A folder that does not exist: the video stays TEMP.AVI and the message says so.
  folder.write(temp.data, "data 4");
  saved = MovePairForSave(temp, true, folder.path() / "gone" / "trial4.dat");
  EXPECT_FALSE(saved.videoMoved);
  ASSERT_TRUE(saved.videoError);
  EXPECT_NE(saved.videoError->find("The video could not be saved as " +
                                   (folder.path() / "gone" / "trial4.AVI").string() + "."),
            std::string::npos);
  EXPECT_NE(saved.videoError->find("It is kept as " + temp.video.string() + "."),
            std::string::npos);
  EXPECT_EQ(folder.read(temp.video), "older video");
  // A video renamed by hand in lower case is still found beside its data file.
  folder.write(folder.path() / "trial5.avi", "v");
  EXPECT_EQ(FindPairedVideo(folder.path() / "trial5.DAT"), folder.path() / "trial5.avi");
}

TEST(VideoCoreTest, FramesMapToTheSamplesTakenMeanwhile) {
  // 15 s recorded as samples 0..1500 beside 450 frames at 30 frames a second.
  const FrameMapping m{30.0, 450, 1500, 15.0f};
  const struct {
    int frame;
    int64_t seekMs;
    int sample;
  } cases[] = {{0, 16, 1},    {1, 50, 5},      {2, 83, 8},
               {29, 983, 98}, {30, 1016, 101}, {449, 14983, 1498}};
  for (const auto& c : cases) {
    EXPECT_EQ(m.seekMs(c.frame), c.seekMs) << c.frame;
    EXPECT_EQ(m.frameAt(c.seekMs), c.frame) << c.frame;
    EXPECT_EQ(m.sampleFor(c.frame), c.sample) << c.frame;
    EXPECT_EQ(m.frameFor(c.sample), c.frame) << c.frame;
  }
  EXPECT_EQ(m.frameAt(33), 0);
  EXPECT_EQ(m.frameAt(34), 1);
  EXPECT_EQ(m.frameAt(-5), 0);
  EXPECT_EQ(m.frameFor(1500), 449);  // the last samples fall in the last frame
  EXPECT_EQ(m.frameAt(99999), 449);
  // A trial that took longer than planned: 1000 samples over 20 s is 50 samples a second.
  const FrameMapping slow{30.0, 600, 1000, 20.0f};
  EXPECT_EQ(slow.sampleFor(30), 50);
  EXPECT_EQ(slow.frameFor(50), 30);
  EXPECT_EQ(FrameMapping{}.sampleFor(5), 0);  // no trial held
}

TEST(VideoCoreTest, EachStrokeHasItsReferenceVideoAndTwoCyclesOfForce) {
  const struct {
    int16_t swimFlag;
    const char* video;
    int cycleSamples;  // 100 samples a second
    int peakSample;
    double peak, dip;  // counts above the baseline
  } cases[] = {
      {1, "M11FRFROA.AVI", 150, 45, 120.0, -30.0},  // 40 strokes a minute, pushing 60 %
      {2, "M11BRFRO2.AVI", 200, 40, 140.0, -15.0},  // 30 a minute, a short pull and long glide
      {3, "M11BKFROA.AVI", 160, 44, 100.0, -25.0},  // 37.5 a minute, pushing 55 %
      {4, "M11FLFRO2.AVI", 125, 31, 150.0, -35.0},  // 48 a minute, push and recovery even
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReferenceVideoName(c.swimFlag), c.video);
    const ReferenceCurve curve = ReferenceCurveFor(c.swimFlag);
    EXPECT_EQ(curve.cycleSamples, c.cycleSamples) << c.video;
    EXPECT_EQ(curve.peakSample, c.peakSample) << c.video;
    ASSERT_EQ(curve.force.size(), static_cast<size_t>(2 * c.cycleSamples + 1)) << c.video;
    const auto [low, high] = std::minmax_element(curve.force.begin(), curve.force.end());
    EXPECT_NEAR(*high, c.peak, 0.05) << c.video;
    EXPECT_NEAR(*low, c.dip, 0.05) << c.video;
    // The push starts from zero and the second stroke repeats the first.
    EXPECT_NEAR(curve.force.front(), 0.0, 1e-9) << c.video;
    EXPECT_NEAR(curve.force.back(), 0.0, 1e-6) << c.video;
    EXPECT_NEAR(curve.force[c.cycleSamples + c.peakSample], *high, 1e-6) << c.video;
  }
  for (int16_t other : {0, 5, -1}) {
    EXPECT_EQ(ReferenceVideoName(other), "");
    EXPECT_TRUE(ReferenceCurveFor(other).force.empty());
  }
  EXPECT_EQ(PlaybackTitle("Tidemet", "/w/TEMP.AVI"), "Tidemet Video Playback - TEMP.AVI");
}

}  // namespace
}  // namespace tidemet
