#pragma once
// What an exported trial holds, whatever the file format: the recorded channels as forces, the
// time base from the measured trial time, the client and comments, and the repetitions of the
// displayed pair as time marks. Built from the session without changing it.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// One recorded channel: force = (count + offset) × forceScale, in the units in force.
struct ExportChannel {
  int column = 0;     // data column 0..7
  std::string label;  // "Ch1".."Ch8"
  int offset = 0;     // the column's baseline offset plus the common one
};

// A time mark in samples; `length` < 0 for a mark without duration.
struct ExportMarker {
  int sample = 0;
  int length = -1;
  std::string text;
};

struct TrialExport {
  int samples = 0;              // rows 0..samples-1, as a saved data file holds them
  double secondsPerSample = 0;  // measured trial time / samples
  double forceScale = 0;        // force per count
  std::string forceUnit;        // "N" or "lbs"
  std::string clientName;       // UTF-8
  std::string comments;         // UTF-8, lines joined by CrLf
  std::vector<ExportChannel> channels;
  std::vector<ExportMarker> markers;  // in time order

  // The stored count of `channel` at row `k`.
  int16_t count(const Session& s, int k, const ExportChannel& channel) const;
};

struct ExportPlan {
  std::optional<TrialExport> trial;
  std::string error;  // why the trial cannot be exported, when `trial` is empty
};

// The trial in memory as an export. The repetitions are those the analysis finds for the
// displayed pair now (the analysis runs on a copy, so the session keeps its state).
ExportPlan PlanTrialExport(const Session& s);

enum class ExportFormat { Edf, Csv };

// The format a file name asks for: ".csv" gives CSV, anything else EDF+.
ExportFormat ExportFormatFor(const std::filesystem::path& path);

// Writes the trial to `path` in `format`, crash-safely: a failed export leaves no file and an
// existing file untouched. Returns why it failed.
std::optional<std::string> ExportTrial(const Session& s, const std::filesystem::path& path,
                                       ExportFormat format);

// The box that tells the user an export failed.
Alert ExportFailedAlert(const std::filesystem::path& path, const std::string& why);

}  // namespace tidemet
