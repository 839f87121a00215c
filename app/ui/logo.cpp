#include "app/ui/logo.h"

#include <QPainter>
#include <QPainterPath>

namespace tidemet {

QPixmap TidemetLogo(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 100.0, size / 100.0);  // drawn on a 100 x 100 grid

  QLinearGradient water(0, 0, 0, 100);
  water.setColorAt(0, QColor(0x2E, 0x86, 0xC1));
  water.setColorAt(1, QColor(0x15, 0x43, 0x60));
  p.setPen(Qt::NoPen);
  p.setBrush(water);
  p.drawEllipse(QRectF(2, 2, 96, 96));

  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 2; ++i) {
    QPainterPath wave;
    double y = 66 + i * 12;
    wave.moveTo(12, y);
    for (int k = 0; k < 4; ++k)
      wave.cubicTo(16 + k * 19, y - 6, 22 + k * 19, y + 6, 31 + k * 19, y);
    p.setPen(QPen(QColor(255, 255, 255, 200 - i * 60), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wave);
  }

  // One stroke of force: a rise, a peak and the release.
  QPainterPath force;
  force.moveTo(18, 58);
  force.cubicTo(32, 58, 36, 18, 48, 18);
  force.cubicTo(58, 18, 60, 48, 70, 50);
  force.cubicTo(76, 51, 80, 44, 84, 44);
  p.setPen(QPen(QColor(0xF4, 0xD0, 0x3F), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(force);
  return pixmap;
}

}  // namespace tidemet
