#pragma once
// The monitor's acquisition as the window uses it: the device's worker (readings on time, on
// their own thread) joined to the sampling loop (every reading set processed in order on the
// window's thread).

#include <memory>

#include "app/acquisition/acquisition_worker.h"
#include "app/acquisition/clock.h"
#include "app/acquisition/sampling_loop.h"
#include "app/acquisition/sources/device_messages.h"

namespace tidemet {

class MonitorController {
 public:
  // The device for the session's model is made by `makeSource` on the acquisition thread; what
  // it posts to messages() is shown with the next reading sets.
  MonitorController(Session& session, Alerts& alerts, GraphSink& sink, Clock& clock,
                    AcquisitionWorker::SourceFactory makeSource,
                    std::function<void()> notifyWindow = {});
  ~MonitorController();

  // The window loaded: the device is opened on a thread of its own that takes readings until
  // unload(). Tests and batch recording use openSynchronously() and tick() instead.
  void load();
  void unload();
  void openSynchronously();
  // One deadline's readings taken and processed, on the calling thread.
  void tick();

  void StartMonitor();
  // Processes every queued reading set while monitoring; otherwise only the newest is kept for
  // the diagnostics. A recording that fills TrialData is stopped here as Stop does.
  void onReadingsQueued();
  // Start or stop a recording. A stop reads the stopwatch first and then processes exactly the
  // reading sets taken before that moment.
  void StartCmd();
  void LeaveMonitor();
  // True while a recording runs (the timer on, not only monitoring).
  bool recording() const;

  SamplingLoop& loop() { return loop_; }
  DeviceMessages& messages() { return messages_; }
  // Reading sets the loop has processed (stored and drawn) since the window loaded.
  uint64_t setsProcessed() const { return processed_; }
  // Reading sets that reached the window's thread, processed or not, and the newest of them
  // (the diagnostics read the interface through these, also while the tick is off).
  uint64_t setsSeen() const { return seen_; }
  const ReadingSet& latestReadings() const { return latest_; }
  AcquisitionWorker& worker() { return *worker_; }
  const ClockStopwatch& stopwatch() const { return stopwatch_; }

 private:
  // Passes the loop's notices for the device on to the acquisition thread.
  class DeviceNotices final : public Source {
   public:
    explicit DeviceNotices(AcquisitionWorker& worker) : worker_(worker) {}
    void takeReadings(ReadingSet&) override {}
    void afterError() override { worker_.requestAfterError(); }
    void recordingStopped() override { worker_.requestRecordingStopped(); }

   private:
    AcquisitionWorker& worker_;
  };

  void processUpTo(int64_t takenUpToNs);

  void showDeviceMessages();

  Session& s_;
  Alerts& alerts_;
  Clock& clock_;
  DeviceMessages messages_;
  ClockStopwatch stopwatch_;
  SamplingLoop loop_;
  std::unique_ptr<AcquisitionWorker> worker_;
  DeviceNotices notices_;
  // A message box shown by the tick runs a nested event loop that may deliver the next
  // notification; the outer pass goes on draining once the box is closed.
  bool processing_ = false;
  uint64_t processed_ = 0;
  uint64_t seen_ = 0;
  ReadingSet latest_;
};

}  // namespace tidemet
