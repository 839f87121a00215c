#include "app/acquisition/live_graph_widget.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cstring>

#include "app/acquisition/plot_sample.h"
#include "app/session/session.h"

namespace tidemet {
namespace {

QRgb rgb(int colour) { return qRgb((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF); }

}  // namespace

LiveGraphWidget::LiveGraphWidget(QWidget* parent)
    : QWidget(parent),
      image_(kSweepWidth, kGraphHeight, QImage::Format_RGB32),
      foreground_(rgb(0x00FF00)),
      background_(rgb(0x000000)) {
  setMinimumSize(kSweepWidth / 2, kGraphHeight * 3 / 4);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  image_.fill(background_);
}

void LiveGraphWidget::setColours(int foreground, int background) {
  foreground_ = rgb(foreground);
  background_ = rgb(background);
}

void LiveGraphWidget::clear() {
  image_.fill(background_);
  update();
}

void LiveGraphWidget::eraseColumns(int first, int last) {
  first = std::max(first, 0);
  last = std::min(last, kSweepWidth - 1);
  if (first > last) return;
  for (int y = 0; y < kGraphHeight; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(line + first, line + last + 1, background_);
  }
  updateColumns(first, last);
}

void LiveGraphWidget::drawGrid(int first, int last) {
  first = std::max(first, 1);  // the grid runs from column 1 to 549
  last = std::min(last, kSweepWidth - 1);
  if (first > last) return;
  for (int y : kGridLines) {
    QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(line + first, line + last + 1, rgb(kGridColour));
  }
  updateColumns(first, last);
}

void LiveGraphWidget::drawBar(int column, int y) {
  if (column < 0 || column >= kSweepWidth) return;
  const int top = std::clamp(std::min(y, kZeroForceY), 0, kGraphHeight - 1);
  const int bottom = std::clamp(std::max(y, kZeroForceY), 0, kGraphHeight - 1);
  for (int row = top; row <= bottom; ++row)
    reinterpret_cast<QRgb*>(image_.scanLine(row))[column] = foreground_;
  updateColumns(column, column);
}

void LiveGraphWidget::shiftColumns(int shift) {
  shift = std::clamp(shift, -kSweepWidth, kSweepWidth);
  if (shift == 0) return;
  const int kept = kSweepWidth - std::abs(shift);
  for (int y = 0; y < kGraphHeight; ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    if (shift > 0)
      std::memmove(line + shift, line, sizeof(QRgb) * kept);
    else
      std::memmove(line, line - shift, sizeof(QRgb) * kept);
  }
  update();
}

int LiveGraphWidget::columnAt(int x) const {
  if (width() <= 0) return 0;
  return std::clamp(x * kSweepWidth / width(), 0, kSweepWidth - 1);
}

void LiveGraphWidget::updateColumns(int first, int last) {
  const double scale = static_cast<double>(width()) / kSweepWidth;
  const int left = static_cast<int>(first * scale);
  const int right = static_cast<int>((last + 1) * scale) + 1;
  update(QRect(left, 0, right - left, height()));
}

void LiveGraphWidget::paintEvent(QPaintEvent* event) {
  if (width() <= 0 || height() <= 0) return;
  QPainter painter(this);
  painter.setClipRegion(event->region());
  // A tick dirties one column; scaling the whole image for it would cost the more the larger the
  // window. Only the image columns under each dirty rectangle are drawn, each where a drawing of
  // the whole image would put it.
  const double scale = static_cast<double>(width()) / kSweepWidth;
  for (const QRect& dirty : event->region()) {
    const int first = std::clamp(static_cast<int>(dirty.left() / scale), 0, kSweepWidth - 1);
    const int last = std::clamp(static_cast<int>(dirty.right() / scale) + 1, 0, kSweepWidth - 1);
    const QRectF target(first * scale, 0, (last + 1 - first) * scale, height());
    painter.drawImage(target, image_, QRectF(first, 0, last + 1 - first, kGraphHeight));
  }
  // The video's frame: drawn over the image, never into it, so moving it costs no redraw.
  if (marker_ >= 0) {
    painter.setPen(QColor(255, 160, 0));
    const int x = static_cast<int>((marker_ + 0.5) * scale);
    painter.drawLine(x, 0, x, height());
  }
}

void LiveGraphWidget::setMarker(int column) {
  if (column == marker_) return;
  marker_ = column;
  update();
}

void LiveGraphWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton)
    emit clicked(columnAt(static_cast<int>(event->position().x())));
}

void LiveGraphWidget::mouseMoveEvent(QMouseEvent* event) {
  emit pointerMoved(columnAt(static_cast<int>(event->position().x())));
}

}  // namespace tidemet
