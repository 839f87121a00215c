// Starts the program exactly as main() does and, at the first paint of the title screen, prints
// the wall-clock time and the resident memory, then quits.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/session/main_window.h"
#include "app/ui/program.h"

namespace {

// "VmRSS:  12345 kB" -> 12345
long statusKilobytes(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(key, 0) == 0) return std::stol(line.substr(std::char_traits<char>::length(key)));
  return -1;
}

class FirstPaint : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && !seen_) {
      seen_ = true;
      auto now = std::chrono::system_clock::now().time_since_epoch();
      // Measured after this paint has been handled, as the user sees it.
      QTimer::singleShot(0, [now] {
        std::printf("shown_ns %lld\nrss_kb %ld\nhwm_kb %ld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                    statusKilobytes("VmRSS:"), statusKilobytes("VmHWM:"));
        std::fflush(stdout);
        QCoreApplication::exit(0);
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  tidemet::Program program;
  FirstPaint probe;
  program.mainWindow().centralWidget()->installEventFilter(&probe);  // the title screen
  program.start();
  // A title screen that never paints is a failure to report, not a wait.
  QTimer::singleShot(10000, [] {
    std::fprintf(stderr, "the title screen was not shown within 10 s\n");
    QCoreApplication::exit(1);
  });
  return app.exec();
}
