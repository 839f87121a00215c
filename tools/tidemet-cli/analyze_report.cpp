#include "analyze_report.h"

#include "app/session/text.h"

#include <algorithm>
#include <sstream>

#include "json_writer.h"

namespace tidemet::cli {
namespace {

const char* unitsName(const Session& s) { return s.UnitsFlag == 1 ? "metric" : "us"; }

const char* modeName(const Session& s) {
  switch (s.analysis.AnalysisMode) {
    case 1: return "impulse";
    case 2: return "avg";
    default: return "peak";
  }
}


std::string padded(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::string AnalysisJson(const Session& s, const std::string& file, const std::vector<Alert>& alerts) {
  const AnalysisResults& r = s.analysis;
  const SwimMetrics& m = r.swim;
  JsonWriter j;
  j.beginObject();
  j.key("file").value(file);
  j.key("pair").beginArray().value(static_cast<int>(s.PairStartChannel)).value(static_cast<int>(s.PairSecondChannel)).endArray();
  j.key("units").value(unitsName(s));
  j.key("mode").value(modeName(s));
  j.key("ExerciseMode").value(static_cast<int>(s.ExerciseMode));
  j.key("SwimDistance").value(static_cast<int>(s.SwimDistance));
  j.key("FirstPairReps").value(static_cast<int>(r.FirstPairReps));
  j.key("SecondPairReps").value(static_cast<int>(r.SecondPairReps));
  j.key("MostReps").value(static_cast<int>(r.MostReps));
  j.key("SummaryTable").beginArray();
  for (int row = 0; row <= std::min<int>(r.MostReps, kSummaryRows - 1); ++row) {
    j.beginArray();
    for (int col = 1; col <= 16; ++col) j.value(r.SummaryTable[row][col]);
    j.endArray();
  }
  j.endArray();
  j.key("grid").beginArray();
  for (const auto& row : r.grids.rows) {
    j.beginArray();
    for (const auto& cell : row) j.value(cell);
    j.endArray();
  }
  j.endArray();
  j.key("means").beginObject().key("labels").beginArray();
  for (const auto& label : r.grids.meanLabels) j.value(label);
  j.endArray().key("rows").beginArray();
  for (const auto& row : r.grids.means) {
    j.beginArray();
    for (const auto& cell : row) j.value(cell);
    j.endArray();
  }
  j.endArray().endObject();
  j.key("swim").beginObject();
  j.key("shown").value(m.shown);
  j.key("line").value(m.line);
  j.key("StrokeCount").value(static_cast<int>(m.StrokeCount));
  j.key("StrokeRate").value(m.StrokeRate);
  j.key("VelocityMetres").value(m.VelocityMetres);
  j.key("VelocityYards").value(m.VelocityYards);
  j.key("StrokeLengthMetres").value(m.StrokeLengthMetres);
  j.key("StrokeLengthYards").value(m.StrokeLengthYards);
  j.key("FrontalArea").value(static_cast<int>(m.FrontalArea));
  j.key("DragCoefficient").value(m.DragCoefficient);
  j.endObject();
  j.key("alerts").beginArray();
  for (const Alert& a : alerts) j.beginObject().key("title").value(a.title).key("text").value(a.text).endObject();
  j.endArray();
  j.endObject();
  return j.str() + "\n";
}

std::string AnalysisText(const Session& s, const std::string& file, const std::vector<Alert>& alerts) {
  const AnalysisResults& r = s.analysis;
  std::ostringstream out;
  out << file << "\n";
  out << "pair " << s.PairStartChannel + 1 << "-" << s.PairSecondChannel + 1 << ", " << unitsName(s)
      << ", " << r.grids.gridTitle << ", exercise mode " << s.ExerciseMode << "\n";
  out << "repetitions: " << r.FirstPairReps << " and " << r.SecondPairReps << " (most " << r.MostReps << ")\n\n";
  for (const auto& row : r.grids.rows) {
    out << padded(row[0], 4);
    for (size_t c = 1; c < row.size(); ++c) out << padded(row[c], 9);
    out << "\n";
  }
  out << "\n";
  for (size_t i = 0; i < r.grids.means.size(); ++i) {
    std::string label = r.grids.meanLabels[i];
    label.resize(std::max<size_t>(label.size(), 10), ' ');
    out << label;
    for (const auto& cell : r.grids.means[i]) out << padded(cell, 9);
    out << "\n";
  }
  if (r.swim.shown) {
    const SwimMetrics& m = r.swim;
    out << "\n" << m.line << "\n";
    out << "stroke count " << m.StrokeCount << ", stroke rate " << m.StrokeRate << ", velocity "
        << m.VelocityMetres << " m/s (" << m.VelocityYards << " yd/s), stroke length "
        << m.StrokeLengthMetres << " m (" << m.StrokeLengthYards << " yd), frontal area "
        << m.FrontalArea << ", drag coefficient " << m.DragCoefficient << "\n";
  }
  for (const Alert& a : alerts) out << "\n" << a.title << ": " << WithLineFeeds(a.text) << "\n";
  return out.str();
}

}  // namespace tidemet::cli
