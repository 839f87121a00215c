#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QTimer>
#include <functional>

#include "app/session/help_window.h"
#include "app/ui/qt_alerts.h"

namespace tidemet {
namespace {

TEST(QtAlerts, BoxesShowTheCoreDescription) {
  EXPECT_EQ(AlertDisplayText("Error Number 62\r\ncompany.lst ends"),
            "Error Number 62\ncompany.lst ends");
  const struct {
    AlertIcon icon;
    QMessageBox::Icon shown;
  } icons[] = {{AlertIcon::Exclamation, QMessageBox::Warning},
               {AlertIcon::Critical, QMessageBox::Critical},
               {AlertIcon::Question, QMessageBox::Question},
               {AlertIcon::Information, QMessageBox::Information},
               {AlertIcon::None, QMessageBox::NoIcon}};
  for (const auto& c : icons) EXPECT_EQ(AlertDisplayIcon(c.icon), c.shown);
  EXPECT_EQ(AlertDisplayButtons(AlertButtons::OkCancel), QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(AlertDisplayButtons(AlertButtons::YesNoCancel),
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
}

TEST(QtAlerts, ABoxOpensOverTheWindowTheUserWorksIn) {
  QWidget main;
  QWidget monitor;
  QtAlerts alerts(&main);
  main.show();
  monitor.show();
  const auto waitUntil = [](const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 10000)
      QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
  };

  for (QWidget* active : {&monitor, &main, &monitor}) {
    active->activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QApplication::activeWindow() == active; }));
    QWidget* owner = nullptr;
    QTimer::singleShot(0, [&] {
      waitUntil([] { return QApplication::activeModalWidget() != nullptr; });
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        owner = box->parentWidget();
        box->button(QMessageBox::Ok)->click();
      }
    });
    EXPECT_EQ(alerts.show({"Tidemet", "Port Com 7 could not be opened."}), AlertAnswer::Ok);
    EXPECT_EQ(owner, active);
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
  help.close();
  EXPECT_FALSE(help.isVisible());
}

TEST(HelpWindow, EveryLinkOfTheManualLeadsToAPageOfIt) {
  const QStringList pages = QDir(":/help").entryList({"*.html"});
  ASSERT_GE(pages.size(), 5);
  const QRegularExpression link(QStringLiteral("href=\"([^\"#]*)(#[^\"]*)?\""));
  for (const QString& page : pages) {
    QFile file(":/help/" + page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
    const QString html = QString::fromUtf8(file.readAll());
    for (auto it = link.globalMatch(html); it.hasNext();) {
      const QString target = it.next().captured(1);
      if (target.isEmpty()) continue;  // an anchor of the same page
      EXPECT_TRUE(QFile::exists(":/help/" + target))
          << page.toStdString() << " links to " << target.toStdString();
    }
  }
}

}  // namespace
}  // namespace tidemet
