#pragma once
// One strip graph as the core draws on it (550 x 160 graph coordinates), and the pair of them
// that the sampling tick draws on.

#include "app/acquisition/seams.h"

namespace tidemet {

inline constexpr int kGraphHeight = 160;
inline constexpr int kGridColour = 0xC0C0C0;

class GraphCanvas {
 public:
  virtual ~GraphCanvas() = default;
  virtual void clear() = 0;                              // data background, no grid
  virtual void eraseColumns(int first, int last) = 0;    // data background
  virtual void drawGrid(int first, int last) = 0;        // the grid lines across these columns
  virtual void drawBar(int column, int y) = 0;           // (column, 79) to (column, y)
  virtual void shiftColumns(int shift) = 0;              // the image moved sideways by `shift`
};

// The horizontal grid lines, every 16 units from 15 down to 159.
inline constexpr int kGridLines[10] = {15, 31, 47, 63, 79, 95, 111, 127, 143, 159};

// The tick's drawing on the upper and lower graph.
class PairSink final : public GraphSink {
 public:
  PairSink(GraphCanvas& upper, GraphCanvas& lower) : graphs_{&upper, &lower} {}
  void clearGraphs() override {
    for (GraphCanvas* g : graphs_) {
      g->clear();
      g->drawGrid(1, 549);
    }
  }
  void eraseColumns(int first, int last) override {
    for (GraphCanvas* g : graphs_) g->eraseColumns(first, last);
  }
  void drawBar(int graph, int column, int y) override { graphs_[graph & 1]->drawBar(column, y); }

 private:
  GraphCanvas* graphs_[2];
};

}  // namespace tidemet
