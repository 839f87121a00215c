#include "app/acquisition/axis_label_widget.h"

#include <QPainter>
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

void AxisLabelWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const double scale = static_cast<double>(height()) / kGraphHeight;
  const int half = fontMetrics().ascent() / 2;
  // Label i marks graph y = 16 i - 17: label 6 (zero force) on the zero-force line 79, label 11
  // on the bottom line 159, 16 units to each grid step.
  for (int i = 1; i <= 11; ++i) {
    const int y = static_cast<int>((16 * i - 17) * scale);
    const QString text = QString::number(labels_[i]);
    const int x = width() - 2 - fontMetrics().horizontalAdvance(text);
    painter.drawText(x, std::clamp(y + half, fontMetrics().ascent(), height() - 1), text);
  }
}

}  // namespace tidemet
