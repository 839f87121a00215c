#pragma once
// Shared by the window tests that run the monitor with the demonstration unit.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <memory>

#include "app/session/session.h"

namespace tidemet::testing {

// A session set up for the demo unit on two channels, 100 sq cm, the 0-6 model's axis values.
inline std::unique_ptr<Session> DemoSession() {
  auto s = std::make_unique<Session>();
  s->ModelCode = 0;
  s->DemoMode = 1;
  s->ChannelCount = 2;
  s->SurfaceArea = 100;
  for (int i = 1; i <= 11; ++i) s->AxisValues[i] = (7820.0f - 1564.0f * (i - 1)) / 10000.0f;
  return s;
}

// Runs the event loop until `done` holds, for at most `ms` (a loaded machine may be slow).
template <typename Done>
bool RunEventsUntil(Done done, int ms = 3000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

// The item `item` of the menu `menu` of a window's menu bar (captions with their ampersands),
// or null.
inline QAction* MenuItem(QMainWindow& window, const QString& menu, const QString& item) {
  for (QAction* m : window.menuBar()->actions())
    if (m->text() == menu && m->menu())
      for (QAction* a : m->menu()->actions())
        if (a->text() == item) return a;
  return nullptr;
}

inline void RunEventsFor(int ms) {
  RunEventsUntil([] { return false; }, ms);
}

}  // namespace tidemet::testing
