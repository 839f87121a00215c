#pragma once
// Plays a video file frame by frame: "Step" goes one frame on, "Prev" and "Back" one frame back,
// "Play" runs it. Every frame shown is reported with the trial's sample taken at that moment, so
// the graph can follow the picture.

#include <QWidget>
#include <filesystem>

#include "app/video/frame_mapping.h"

class QLabel;
class QMediaPlayer;
class QPushButton;
class QVideoFrame;
class QVideoSink;

namespace tidemet {

class VideoFrameWidget;

class VideoPlaybackWidget : public QWidget {
  Q_OBJECT

 public:
  explicit VideoPlaybackWidget(QWidget* parent = nullptr);
  ~VideoPlaybackWidget() override;

  // Opens `file` paused at its first frame; `opened` or `failed` follows.
  void open(const std::filesystem::path& file);
  void close();
  // Closes the file and shows `text` where the picture would be.
  void showMessage(const QString& text);
  QString message() const;
  bool isOpen() const { return !file_.empty(); }
  // Whether the file is loaded and its frames can be stepped.
  bool ready() const { return mapping_.frameCount > 0; }
  const std::filesystem::path& file() const { return file_; }

  // The trial recorded with the video: its last sample index and measured time.
  void setTrial(int16_t sampleCount, float trialSeconds);

  void Prev();
  void Step();
  void Back();
  void showFrame(int frame);
  // Shows the frame on screen while `sample` was taken.
  void showSample(int sample);

  // The frame on screen, -1 before the first one; the frames of the file.
  int frame() const { return shown_; }
  int frameCount() const { return mapping_.frameCount; }
  const QImage& image() const;

 signals:
  void opened();
  void failed(const QString& why);
  void frameShown(int frame, int sample);

 private:
  void onStatus();
  void fail(const QString& why);
  void onFrame(const QVideoFrame& frame);
  void showCounter();

  QMediaPlayer* player_ = nullptr;
  QVideoSink* sink_ = nullptr;
  VideoFrameWidget* view_ = nullptr;
  QLabel* counter_ = nullptr;
  QPushButton* play_ = nullptr;
  std::filesystem::path file_;
  FrameMapping mapping_;
  int shown_ = -1;
  int wanted_ = -1;  // the frame a seek asked for, until it is on screen
  bool failed_ = false;
};

}  // namespace tidemet
