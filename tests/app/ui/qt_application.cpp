#include "qt_application.h"

#include <QApplication>

// Font and display libraries keep caches for the life of the process that the leak checker
// would report at exit; they are not ours.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig\nleak:libfreetype\nleak:libdbus\nleak:libglib\n";
}

namespace tidemet::testing {

QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "window_tests";
  static char* argv[] = {name, nullptr};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);  // lives as long as the test process
  return *app;
}

}  // namespace tidemet::testing
