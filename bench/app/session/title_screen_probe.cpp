// Starts the program exactly as main() does and, at the first paint of the title screen, prints
// the wall-clock time and the resident memory, then quits.

#include <QApplication>

#include "app/ui/program.h"
#include "app/ui/startup_probe.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  tidemet::Program program;
  tidemet::StartupProbe probe(program);
  program.start();
  return app.exec();
}
