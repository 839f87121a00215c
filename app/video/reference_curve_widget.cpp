#include "app/video/reference_curve_widget.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tidemet {

ReferenceCurveWidget::ReferenceCurveWidget(QWidget* parent) : QWidget(parent) {
  setMinimumSize(200, 120);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ReferenceCurveWidget::setCurve(ReferenceCurve curve) {
  curve_ = std::move(curve);
  update();
}

void ReferenceCurveWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(Qt::black);
  const QRect title = rect().adjusted(4, 2, -4, 0);
  painter.drawText(title, Qt::AlignLeft | Qt::AlignTop,
                   painter.fontMetrics().elidedText(tr("Reference force, two strokes"),
                                                    Qt::ElideRight, title.width()));
  const int n = static_cast<int>(curve_.force.size());
  if (n < 2) return;
  const auto [low, high] = std::minmax_element(curve_.force.begin(), curve_.force.end());
  const double top = std::max(*high, 1.0);
  const double bottom = std::min(*low, 0.0);
  const QRectF area = QRectF(rect()).adjusted(6, 8 + painter.fontMetrics().height(), -6, -8);
  auto y = [&](double force) { return area.bottom() - (force - bottom) / (top - bottom) * area.height(); };
  auto x = [&](int k) { return area.left() + area.width() * k / (n - 1); };
  painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
  painter.drawLine(QPointF(area.left(), y(0)), QPointF(area.right(), y(0)));
  for (int k = curve_.cycleSamples; k < n - 1 && curve_.cycleSamples > 0; k += curve_.cycleSamples)
    painter.drawLine(QPointF(x(k), area.top()), QPointF(x(k), area.bottom()));
  QPainterPath path(QPointF(x(0), y(curve_.force[0])));
  for (int k = 1; k < n; ++k) path.lineTo(x(k), y(curve_.force[k]));
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 70, 180), 2));
  painter.drawPath(path);
}

}  // namespace tidemet
