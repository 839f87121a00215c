#pragma once
// The seams of the sampling loop: where readings come from, where samples are drawn, and how long
// a recording lasted.

#include <cstdint>

#include "app/acquisition/reading_set.h"

namespace tidemet {

// One device for the model in use. takeReadings is called once per tick and fills one reading
// set; it must not allocate.
class Source {
 public:
  virtual ~Source() = default;
  virtual void takeReadings(ReadingSet& out) = 0;
  // A device error ended a tick, or a recording stopped: the LabJack is sent its reset here.
  virtual void afterError() {}
  virtual void recordingStopped() {}
  // Monitoring started: a serial unit is sent its start command here.
  virtual void monitoringStarted() {}
  // The Sensors or Limb menu changed what the LabJack reads.
  virtual void sensorsChanged(int16_t /*sensorType*/, int16_t /*limbMode*/) {}
  // The Channels menu changed how many channels a tick reads (the four-point USB device).
  virtual void channelCountChanged(int16_t /*channelCount*/) {}
};

// What the tick draws, on both graphs at once or on graph 0 (upper) / 1 (lower). Coordinates are
// the graphs' own 550 x 160.
class GraphSink {
 public:
  virtual ~GraphSink() = default;
  virtual void clearGraphs() = 0;                         // clear and draw the grid
  virtual void eraseColumns(int firstColumn, int lastColumn) = 0;  // data background colour
  virtual void drawBar(int graph, int column, int y) = 0;  // (column, 79) to (column, y)
};

class NullGraphSink final : public GraphSink {
 public:
  void clearGraphs() override {}
  void eraseColumns(int, int) override {}
  void drawBar(int, int, int) override {}
};

// The recording's stopwatch.
class Stopwatch {
 public:
  virtual ~Stopwatch() = default;
  virtual void start() = 0;
  virtual int64_t elapsedMilliseconds() const = 0;
};

}  // namespace tidemet
