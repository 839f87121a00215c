#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include "app/session/help_window.h"
#include "app/ui/qt_alerts.h"
#include "support/demo_monitor.h"

namespace tidemet {
namespace {

// A box opens over the window the user works in and shows the core's description: its lines,
// icon and buttons; the button pressed is the answer.
TEST(QtAlerts, ABoxOpensOverTheWindowTheUserWorksIn) {
  QWidget main;
  QWidget monitor;
  QtAlerts alerts(&main);
  main.show();
  monitor.show();
  const auto waitUntil = [](auto done) { return testing::RunEventsUntil(done, 30000); };
  for (QWidget* active : {&monitor, &main, &monitor}) {
    active->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == active; }));
    QMessageBox* box = nullptr;
    QTimer::singleShot(0, [&] {
      waitUntil([] { return QApplication::activeModalWidget() != nullptr; });
      box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      EXPECT_EQ(box->parentWidget(), active);
      EXPECT_EQ(box->text(), "Port Com 7\ncould not be opened.");
      EXPECT_EQ(box->icon(), QMessageBox::Critical);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
      box->button(QMessageBox::Cancel)->click();
    });
    EXPECT_EQ(alerts.show({"Tidemet", "Port Com 7\r\ncould not be opened.", AlertIcon::Critical,
                           AlertButtons::OkCancel}),
              AlertAnswer::Cancel);
    EXPECT_NE(box, nullptr);
  }
}

TEST(HelpWindow, OpensTheManualAtItsContents) {
  HelpWindow help;
  help.showContents();
  EXPECT_TRUE(help.isVisible());
  EXPECT_EQ(help.browser()->source(), QUrl("qrc:/help/index.html"));
  EXPECT_EQ(help.browser()->documentTitle(), "Tidemet Help: Contents");

  // Following a link and asking for the contents again comes back to the contents.
  help.browser()->setSource(QUrl("qrc:/help/analysis.html"));
  help.showContents();
  EXPECT_EQ(help.browser()->source(), QUrl("qrc:/help/index.html"));
}

}  // namespace
}  // namespace tidemet
