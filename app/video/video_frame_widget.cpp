#include "app/video/video_frame_widget.h"

#include <QPainter>

namespace tidemet {

VideoFrameWidget::VideoFrameWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void VideoFrameWidget::showImage(QImage image) {
  image_ = std::move(image);
  text_.clear();
  update();
}

void VideoFrameWidget::showText(const QString& text) {
  image_ = QImage();
  text_ = text;
  update();
}

void VideoFrameWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::black);
  if (!image_.isNull()) {
    QSize size = image_.size().scaled(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(rect().center());
    painter.drawImage(target, image_);
  } else if (!text_.isEmpty()) {
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(8, 8, -8, -8), Qt::AlignCenter | Qt::TextWordWrap, text_);
  }
}

}  // namespace tidemet
