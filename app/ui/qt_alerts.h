#pragma once
// Message boxes of the Alerts seam, shown modally over a parent window.

#include <QMessageBox>
#include <QPointer>
#include <QString>

#include "app/session/alerts.h"

namespace tidemet {

// A box's text as the window shows it: the CrLf line breaks of the core become plain line breaks.
QString AlertDisplayText(const std::string& text);

QMessageBox::Icon AlertDisplayIcon(AlertIcon icon);
QMessageBox::StandardButtons AlertDisplayButtons(AlertButtons buttons);

// A box opens over the window the user is working in (a modal window first, then the active
// one), so a message of the monitor or the settings window is not shown over the main window
// behind them. `parent` is the owner when no window of the program is active.
class QtAlerts : public Alerts {
 public:
  explicit QtAlerts(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }
  AlertAnswer show(const Alert& alert) override;

  // The window a box shown now opens over.
  QWidget* ownerWindow() const;

 private:
  QPointer<QWidget> parent_;
};

}  // namespace tidemet
