// Runs the real monitor window with the demo unit for a while and prints how steady its 10 ms
// beat was, next to a plain periodic Qt timer on the window's thread in the same run.
//
//   monitor_timing [--seconds S] [--stall] [--video]
//
// --stall holds the window's thread for 60 ms five times a second (as a dialog, a resize or a
// slow repaint would): readings must still be taken on time and all be drawn afterwards.
// --video films the demo camera beside the graphs for the whole run.
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

#include "app/acquisition/monitor_window.h"
#include "app/acquisition/period_stats.h"

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void report(const char* name, const tidemet::PeriodStats& stats, long long missed) {
  std::printf("%-22s periods %6lld  mean %.4f ms  p99 |period-10ms| %.2f ms  skipped %lld\n", name,
              static_cast<long long>(stats.periods()), stats.meanPeriodNs() / 1e6,
              stats.deviationQuantileNs(0.99) / 1e6, missed);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int seconds = 60;
  bool stall = false;
  bool video = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) seconds = std::atoi(argv[++i]);
    if (!std::strcmp(argv[i], "--stall")) stall = true;
    if (!std::strcmp(argv[i], "--video")) video = true;
  }

  auto session = std::make_unique<tidemet::Session>();
  session->ModelCode = 0;
  session->DemoMode = 1;
  session->ChannelCount = 2;
  session->SurfaceArea = 100;
  for (int i = 1; i <= 11; ++i) session->AxisValues[i] = (7820.0f - 1564.0f * (i - 1)) / 10000.0f;
  tidemet::RecordingAlerts alerts;
  tidemet::MonitorWindow window(*session, alerts, {});
  window.show();
  window.StartMonitor();
  if (video) {
    window.videoPane().setVideoLayout(tidemet::VideoLayout::Beside);
    window.videoPane().panel().setSource(tidemet::CaptureSource{});
    window.videoPane().panel().recordingStarted();
  }

  // The plain timer the monitor does not use, for comparison.
  tidemet::PeriodStats plain(10'000'000);
  QElapsedTimer clock;
  clock.start();
  QTimer plainTimer;
  plainTimer.setTimerType(Qt::PreciseTimer);
  plainTimer.setInterval(10);
  QObject::connect(&plainTimer, &QTimer::timeout, [&] { plain.addTime(clock.nsecsElapsed()); });
  plainTimer.start();

  QTimer staller;
  staller.setInterval(200);
  QObject::connect(&staller, &QTimer::timeout,
                   [] { std::this_thread::sleep_for(std::chrono::milliseconds(60)); });
  if (stall) staller.start();

  const double cpuBefore = cpuSeconds();
  QTimer::singleShot(seconds * 1000, &app, [&] {
    plainTimer.stop();
    staller.stop();
    app.quit();
  });
  app.exec();
  const double wall = clock.nsecsElapsed() / 1e9;
  const double cpu = cpuSeconds() - cpuBefore;
  if (video) {
    window.videoPane().panel().recordingStopped();
    QElapsedTimer wait;
    wait.start();
    while (window.videoPane().panel().button().state() != tidemet::CaptureState::Ready &&
           wait.elapsed() < 30000)
      app.processEvents(QEventLoop::AllEvents, 20);
    const tidemet::CaptureStatus c = window.videoPane().panel().button().lastStatus();
    std::printf("video: %.2f s, %ld frames, %ld dropped\n", tidemet::CaptureSeconds(c.elapsedMs),
                c.frames, c.dropped);
  }

  // Draw whatever is still queued, then stop the acquisition and read its figures.
  window.controller().onReadingsQueued();
  window.controller().unload();
  const auto& worker = window.controller().worker();
  std::printf("run: %d s%s\n", seconds, stall ? ", window thread stalled 60 ms five times a second" : "");
  report("acquisition thread", worker.periods(), static_cast<long long>(worker.deadlinesSkipped()));
  const long long expectedPlain = static_cast<long long>(wall * 100.0);
  report("plain Qt timer", plain, std::max(0LL, expectedPlain - plain.periods() - 1));
  std::printf("readings taken %llu, processed and drawn %llu, dropped %llu\n",
              static_cast<unsigned long long>(worker.readingsTaken()),
              static_cast<unsigned long long>(window.controller().setsProcessed()),
              static_cast<unsigned long long>(worker.setsDropped()));
  std::printf("CPU %.2f %% of one core\n", 100.0 * cpu / wall);
  return 0;
}
