#pragma once
// The About box `About`: shown modally from Help About, closed by its Continue button.

#include <QDialog>

#include "app/session/app_info.h"

namespace tidemet {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(const AppInfo& info, QWidget* parent = nullptr);
};

}  // namespace tidemet
