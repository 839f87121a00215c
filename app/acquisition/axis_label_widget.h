#pragma once
// The force scale beside a graph: the eleven AxisLabels, label 1 at the top line of the grid.

#include <QWidget>
#include <array>
#include <cstdint>

namespace tidemet {

class AxisLabelWidget : public QWidget {
  Q_OBJECT

 public:
  explicit AxisLabelWidget(QWidget* parent = nullptr);
  void setLabels(const std::array<int16_t, 12>& labels);  // 1..11 used

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::array<int16_t, 12> labels_{};
};

}  // namespace tidemet
