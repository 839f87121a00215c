#pragma once
// The one place that draws charts with a chart library: the chart window hands it the core's
// chart data and asks it for pictures. Nothing else includes the library's headers, so moving to
// another chart library touches only this class.

#include <QImage>
#include <QPointF>
#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "app/compare/chart_series.h"

class QPainter;

namespace tidemet {

class ChartViewWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ChartViewWidget(QWidget* parent = nullptr);
  ~ChartViewWidget() override;

  // Draws `data`; a chart that is not drawn shows its note instead.
  void setChart(const ChartData& data);

  // What is shown now, read back from the drawn chart.
  bool hasChart() const;
  QString note() const;
  QString title() const;
  QString xTitle() const;
  QString yTitle() const;
  int seriesCount() const;
  QString seriesName(int index) const;
  std::vector<QPointF> seriesPoints(int index) const;

  // The chart as a picture of the widget's size, or drawn into `target` of a painter (a printer
  // or PDF page) with its proportions kept. Both are blank when no chart is shown.
  QImage picture() const;
  void paintChart(QPainter& painter, const QRectF& target) const;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;
};

}  // namespace tidemet
