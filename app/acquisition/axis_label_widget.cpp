#include "app/acquisition/axis_label_widget.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QString>
#include <algorithm>

#include "app/acquisition/graph_canvas.h"

namespace tidemet {

AxisLabelWidget::AxisLabelWidget(QWidget* parent) : QWidget(parent) {
  setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-00000")) + 4);
}

void AxisLabelWidget::setLabels(const std::array<int16_t, 12>& labels) {
  labels_ = labels;
  update();
}

int AxisLabelWidget::labelPixelSize(int height, int normalPixelSize) {
  // A label's font may take 0.45 of a grid step (its line about 0.55): the top and bottom
  // labels, pushed inside the widget, then still keep clear of their neighbours.
  const int fitting = static_cast<int>(height * 16 * 0.45 / kGraphHeight);
  return std::max(1, std::min(normalPixelSize, fitting));
}

QFont AxisLabelWidget::labelFont() const {
  QFont small = font();
  small.setPixelSize(labelPixelSize(height(), QFontInfo(font()).pixelSize()));
  return small;
}

std::array<QRect, 11> AxisLabelWidget::labelRects() const {
  const QFontMetrics metrics(labelFont());
  const double scale = static_cast<double>(height()) / kGraphHeight;
  const int textHeight = metrics.ascent() + metrics.descent();
  std::array<QRect, 11> rects;
  // Label i marks graph y = 16 i - 17: label 6 (zero force) on the zero-force line 79, label 11
  // on the bottom line 159, 16 units to each grid step. The outer ones are pushed inside.
  for (int i = 1; i <= 11; ++i) {
    const int centre = static_cast<int>((16 * i - 17) * scale);
    const int top = std::clamp(centre - textHeight / 2, 0, std::max(0, height() - textHeight));
    const int textWidth = metrics.horizontalAdvance(QString::number(labels_[i]));
    rects[i - 1] = QRect(width() - 2 - textWidth, top, textWidth, textHeight);
  }
  return rects;
}

void AxisLabelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(labelFont());
  const auto rects = labelRects();
  for (int i = 1; i <= 11; ++i)
    painter.drawText(rects[i - 1].left(), rects[i - 1].top() + painter.fontMetrics().ascent(),
                     QString::number(labels_[i]));
}

}  // namespace tidemet
