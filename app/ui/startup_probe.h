#pragma once
// The start-up probe: at the first paint of the title screen it prints the wall-clock time
// ("shown_ns"), the resident memory and its peak, then quits the program with status 0; a title
// screen that is not shown within 10 s quits it with status 1. The start-up measurement and the
// package check run the program this way.

#include <QObject>

namespace tidemet {

class Program;

class StartupProbe : public QObject {
 public:
  // Watches `program`'s title screen; call before Program::start.
  explicit StartupProbe(Program& program);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool seen_ = false;
};

}  // namespace tidemet
