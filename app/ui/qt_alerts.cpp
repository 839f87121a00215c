#include "app/ui/qt_alerts.h"

#include <QApplication>

namespace tidemet {

QString AlertDisplayText(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

QMessageBox::Icon AlertDisplayIcon(AlertIcon icon) {
  switch (icon) {
    case AlertIcon::Exclamation:
      return QMessageBox::Warning;
    case AlertIcon::Critical:
      return QMessageBox::Critical;
    case AlertIcon::Question:
      return QMessageBox::Question;
    case AlertIcon::Information:
      return QMessageBox::Information;
    case AlertIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons AlertDisplayButtons(AlertButtons buttons) {
  switch (buttons) {
    case AlertButtons::Ok:
      return QMessageBox::Ok;
    case AlertButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case AlertButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case AlertButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QWidget* QtAlerts::ownerWindow() const {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  return parent_ && parent_->isVisible() ? parent_.data() : nullptr;
}

AlertAnswer QtAlerts::show(const Alert& alert) {
  QMessageBox box(AlertDisplayIcon(alert.icon), QString::fromStdString(alert.title),
                  AlertDisplayText(alert.text), AlertDisplayButtons(alert.buttons), ownerWindow());
  // Escape (or the close box) answers as the last button would: Cancel, No, or OK.
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return AlertAnswer::Cancel;
    case QMessageBox::Yes:
      return AlertAnswer::Yes;
    case QMessageBox::No:
      return AlertAnswer::No;
    case QMessageBox::Ok:
      return AlertAnswer::Ok;
    default:
      break;
  }
  return alert.buttons == AlertButtons::Ok ? AlertAnswer::Ok : AlertAnswer::Cancel;
}

}  // namespace tidemet
