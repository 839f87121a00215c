#pragma once
// The help window: the user manual in a text browser with Back, Forward and Contents. It stands
// in for the platform's help viewer; every Help Contents command opens it at its contents.

#include <QWidget>

#include "app/session/main_commands.h"

class QTextBrowser;

namespace tidemet {

// Where the manual's contents page lives (built into the program).
inline constexpr const char* kHelpContentsUrl = "qrc:/help/index.html";

class HelpWindow : public QWidget, public HelpViewer {
  Q_OBJECT

 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  void showContents() override;
  void close() override;

  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_ = nullptr;
};

}  // namespace tidemet
