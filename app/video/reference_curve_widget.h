#pragma once
// Draws a reference stroke's force curve: force up, time across, the zero line marked.

#include <QWidget>

#include "app/video/reference_curve.h"

namespace tidemet {

class ReferenceCurveWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ReferenceCurveWidget(QWidget* parent = nullptr);

  void setCurve(ReferenceCurve curve);
  const ReferenceCurve& curve() const { return curve_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  ReferenceCurve curve_;
};

}  // namespace tidemet
