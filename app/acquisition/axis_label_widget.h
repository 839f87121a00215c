#pragma once
// The force scale beside a graph: the eleven AxisLabels, label 1 at the top line of the grid.

#include <QFont>
#include <QRect>
#include <QWidget>
#include <array>
#include <cstdint>

namespace tidemet {

class AxisLabelWidget : public QWidget {
  Q_OBJECT

 public:
  explicit AxisLabelWidget(QWidget* parent = nullptr);
  void setLabels(const std::array<int16_t, 12>& labels);  // 1..11 used
  // Where labels 1 to 11 are printed at the widget's present size, and in which font.
  QFont labelFont() const;
  std::array<QRect, 11> labelRects() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  static int labelPixelSize(int height, int normalPixelSize);
  std::array<int16_t, 12> labels_{};
};

}  // namespace tidemet
