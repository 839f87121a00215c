#include "app/compare/chart_view_widget.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QStackedLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace tidemet {
namespace {

QString text(const std::string& s) { return QString::fromStdString(s); }

// Whole-number steps for the file or repetition axis: every one up to 20 points, then fewer.
double numberStep(int count) {
  if (count <= 20) return 1;
  if (count <= 50) return 5;
  return 10;
}

}  // namespace

struct ChartViewWidget::Parts {
  QStackedLayout* stack = nullptr;
  QChartView* view = nullptr;
  QChart* chart = nullptr;
  QLabel* note = nullptr;
  QValueAxis* x = nullptr;
  QValueAxis* y = nullptr;
  QLineSeries* series[2] = {nullptr, nullptr};
};

ChartViewWidget::ChartViewWidget(QWidget* parent)
    : QWidget(parent), parts_(std::make_unique<Parts>()) {
  Parts& p = *parts_;
  p.chart = new QChart;
  p.chart->setAnimationOptions(QChart::NoAnimation);
  p.chart->setTheme(QChart::ChartThemeLight);
  p.chart->legend()->setAlignment(Qt::AlignBottom);
  QFont titleFont = font();
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
  titleFont.setBold(true);
  p.chart->setTitleFont(titleFont);

  p.x = new QValueAxis;
  p.y = new QValueAxis;
  QFont axisTitleFont = font();
  axisTitleFont.setBold(true);
  for (QValueAxis* axis : {p.x, p.y}) {
    axis->setTitleFont(axisTitleFont);
    axis->setLabelsFont(font());
  }
  p.x->setLabelFormat(QStringLiteral("%d"));
  p.x->setTickType(QValueAxis::TicksDynamic);
  p.x->setTickAnchor(1);
  p.chart->addAxis(p.x, Qt::AlignBottom);
  p.chart->addAxis(p.y, Qt::AlignLeft);
  const QColor colours[2] = {QColor(0x1f, 0x5f, 0xbf), QColor(0xd0, 0x40, 0x20)};
  for (int i = 0; i < 2; ++i) {
    p.series[i] = new QLineSeries;
    p.series[i]->setPointsVisible(true);
    p.series[i]->setMarkerSize(7);
    QPen pen(colours[i]);
    pen.setWidthF(2.0);
    p.series[i]->setPen(pen);
    p.chart->addSeries(p.series[i]);
    p.series[i]->attachAxis(p.x);
    p.series[i]->attachAxis(p.y);
  }

  p.view = new QChartView(p.chart, this);
  p.view->setRenderHint(QPainter::Antialiasing);
  p.view->setObjectName(QStringLiteral("ChartView"));
  p.note = new QLabel(this);
  p.note->setAlignment(Qt::AlignCenter);
  p.note->setWordWrap(true);
  p.note->setObjectName(QStringLiteral("ChartNote"));
  p.stack = new QStackedLayout(this);
  p.stack->addWidget(p.view);
  p.stack->addWidget(p.note);
  p.stack->setCurrentWidget(p.note);
}

ChartViewWidget::~ChartViewWidget() = default;

void ChartViewWidget::setChart(const ChartData& data) {
  Parts& p = *parts_;
  p.chart->setTitle(text(data.title));
  p.x->setTitleText(text(data.xTitle));
  p.y->setTitleText(text(data.yTitle));
  double low = 0, high = 0;
  int count = 0;
  for (int i = 0; i < 2; ++i) {
    QList<QPointF> points;
    for (const auto& [x, y] : data.series[i].points) {
      points.append(QPointF(x, y));
      low = std::min(low, y);
      high = std::max(high, y);
    }
    count = std::max(count, static_cast<int>(points.size()));
    p.series[i]->setName(text(data.series[i].name));
    p.series[i]->replace(points);
  }
  if (data.drawn) {
    p.x->setRange(0.5, count + 0.5);
    p.x->setTickInterval(numberStep(count));
    // Some room above the highest point so that its marker is not cut by the frame.
    if (high == low) high = low + 1;
    p.y->setRange(low, high + (high - low) * 0.08);
    p.y->applyNiceNumbers();
    p.stack->setCurrentWidget(p.view);
  } else {
    p.stack->setCurrentWidget(p.note);
  }
  p.note->setText(text(data.note));
}

bool ChartViewWidget::hasChart() const { return parts_->stack->currentWidget() == parts_->view; }
QString ChartViewWidget::note() const { return parts_->note->text(); }
QString ChartViewWidget::title() const { return parts_->chart->title(); }
QString ChartViewWidget::xTitle() const { return parts_->x->titleText(); }
QString ChartViewWidget::yTitle() const { return parts_->y->titleText(); }
int ChartViewWidget::seriesCount() const {
  return static_cast<int>(parts_->chart->series().size());
}

QString ChartViewWidget::seriesName(int index) const {
  if (index < 0 || index > 1) return {};
  return parts_->series[index]->name();
}

std::vector<QPointF> ChartViewWidget::seriesPoints(int index) const {
  if (index < 0 || index > 1) return {};
  const QList<QPointF> points = parts_->series[index]->points();
  return {points.begin(), points.end()};
}

QImage ChartViewWidget::picture() const {
  if (!hasChart()) {
    QImage blank(size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    return blank;
  }
  return parts_->view->grab().toImage();
}

void ChartViewWidget::paintChart(QPainter& painter, const QRectF& target) const {
  if (!hasChart()) return;
  painter.setRenderHint(QPainter::Antialiasing);
  // The chart keeps its proportions and stands in the middle of the page.
  const QRectF source = parts_->chart->geometry();
  if (source.isEmpty()) return;
  const QSizeF fitted = source.size().scaled(target.size(), Qt::KeepAspectRatio);
  const QRectF placed(target.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
  parts_->chart->scene()->render(&painter, placed, source, Qt::KeepAspectRatio);
}

}  // namespace tidemet
