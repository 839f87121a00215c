// tidemet: the desktop program. Starts in the current folder, which holds client.lst and
// company.lst. With --startup-probe it quits at the first paint of the title screen after
// printing the time and memory (see app/ui/startup_probe.h).

#include <QApplication>
#include <memory>
#include <string_view>

#include "app/ui/program.h"
#include "app/ui/startup_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tidemet"));
  QApplication::setApplicationVersion(QStringLiteral("5.6"));
  QApplication::setDesktopFileName(QStringLiteral("tidemet"));
  QApplication::setQuitOnLastWindowClosed(false);  // the program ends through ExitProgram

  tidemet::Program program;
  std::unique_ptr<tidemet::StartupProbe> probe;
  if (argc > 1 && std::string_view(argv[1]) == "--startup-probe")
    probe = std::make_unique<tidemet::StartupProbe>(program);
  program.start();
  return app.exec();
}
