#include "app/export/csv_export.h"

#include <cstdio>

#include "app/session/text.h"

namespace tidemet {

std::string CsvTrialText(const Session& s, const TrialExport& t) {
  std::string out = "Time (s)";
  for (const ExportChannel& c : t.channels) out += "," + c.label + " (" + t.forceUnit + ")";
  out += CrLf;
  // About 10 characters a cell; one reservation spares the growth copies of a long trial.
  out.reserve(out.size() + static_cast<size_t>(t.samples) * (t.channels.size() + 1) * 11);
  // Wide enough for any double in fixed notation, so a damaged calibration cannot cut a cell.
  char cell[400];
  for (int k = 0; k < t.samples; ++k) {
    std::snprintf(cell, sizeof cell, "%.4f", k * t.secondsPerSample);
    out += cell;
    for (const ExportChannel& c : t.channels) {
      std::snprintf(cell, sizeof cell, ",%.3f", (t.count(s, k, c) + c.offset) * t.forceScale);
      out += cell;
    }
    out += CrLf;
  }
  return out;
}

}  // namespace tidemet
