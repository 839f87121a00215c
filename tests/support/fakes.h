#pragma once
// Test doubles for the sampling loop's seams.

#include <functional>
#include <vector>

#include "app/acquisition/seams.h"

namespace tidemet::testing {

struct DrawCall {
  enum Kind { Clear, Erase, Bar } kind;
  int a = 0, b = 0, c = 0;  // Erase: first, last; Bar: graph, column, y
  bool operator==(const DrawCall&) const = default;
};

class RecordingSink : public GraphSink {
 public:
  void clearGraphs() override { calls.push_back({DrawCall::Clear}); }
  void eraseColumns(int first, int last) override { calls.push_back({DrawCall::Erase, first, last}); }
  void drawBar(int graph, int column, int y) override { calls.push_back({DrawCall::Bar, graph, column, y}); }
  std::vector<DrawCall> bars() const {
    std::vector<DrawCall> out;
    for (const auto& c : calls)
      if (c.kind == DrawCall::Bar) out.push_back(c);
    return out;
  }
  std::vector<DrawCall> calls;
};

class ManualStopwatch : public Stopwatch {
 public:
  void start() override { startedAt = now; }
  int64_t elapsedMilliseconds() const override { return now - startedAt; }
  int64_t now = 0;
  int64_t startedAt = 0;
};

// Returns the readings the test sets, and counts the notices it receives.
class ScriptedSource : public Source {
 public:
  void takeReadings(ReadingSet& out) override {
    if (onRead) onRead(*this);
    out = next;
    ++reads;
  }
  void afterError() override { ++errorResets; }
  void recordingStopped() override { ++stops; }
  ReadingSet next;
  std::function<void(ScriptedSource&)> onRead;
  int reads = 0;
  int errorResets = 0;
  int stops = 0;
};

}  // namespace tidemet::testing
