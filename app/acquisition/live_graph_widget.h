#pragma once
// One strip graph of the monitor: a 550 x 160 backing image in graph coordinates, scaled to the
// widget when painted. Drawing a tick's bar repaints that one column only.

#include <QImage>
#include <QWidget>

#include "app/acquisition/graph_canvas.h"

namespace tidemet {

class LiveGraphWidget : public QWidget, public GraphCanvas {
  Q_OBJECT

 public:
  explicit LiveGraphWidget(QWidget* parent = nullptr);

  // Colours as 0xRRGGBB.
  void setColours(int foreground, int background);

  void clear() override;
  void eraseColumns(int first, int last) override;
  void drawGrid(int first, int last) override;
  void drawBar(int column, int y) override;
  void shiftColumns(int shift) override;

  const QImage& image() const { return image_; }
  // The graph column under a widget x position.
  int columnAt(int x) const;
  // A vertical line over `column` (the video frame's sample); -1 for none.
  void setMarker(int column);
  int marker() const { return marker_; }

 signals:
  void pointerMoved(int column);
  void clicked(int column);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void updateColumns(int first, int last);

  QImage image_;
  QRgb foreground_;
  QRgb background_;
  int marker_ = -1;
};

}  // namespace tidemet
