// tidemet: the desktop program. Starts in the current folder, which holds client.lst and
// company.lst.

#include <QApplication>

#include "app/ui/program.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tidemet"));
  QApplication::setApplicationVersion(QStringLiteral("5.6"));
  QApplication::setDesktopFileName(QStringLiteral("tidemet"));
  QApplication::setQuitOnLastWindowClosed(false);  // the program ends through ExitProgram

  tidemet::Program program;
  program.start();
  return app.exec();
}
