#pragma once
// Shows one picture of a video (a capture's preview or a played frame), scaled to fit and kept
// in proportion, or a line of text where there is no picture.

#include <QImage>
#include <QString>
#include <QWidget>

namespace tidemet {

class VideoFrameWidget : public QWidget {
  Q_OBJECT

 public:
  explicit VideoFrameWidget(QWidget* parent = nullptr);

  void showImage(QImage image);
  void showText(const QString& text);
  const QImage& image() const { return image_; }
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  QString text_;
};

}  // namespace tidemet
