#pragma once
// The automatic copy and the automatic print over a list of trial files. Both work on a copy of
// the session, so the trial the user has open stays as it is; a file that cannot be opened is
// reported and skipped, and the caller can stop the run between files.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/analysis/report_layout.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

class BatchProgress {
 public:
  virtual ~BatchProgress() = default;
  // Called before file `index` (from 0) of `count`, and with index == count at the end; false
  // stops the run before that file.
  virtual bool next(int index, int count, const std::string& file) = 0;
};

// Opens the file at `path` into `s`; false when it was refused, its message boxes in `alerts`.
using TrialOpener = std::function<bool(Session& s, Alerts& alerts, const std::string& path)>;

struct BatchFailure {
  std::string file;
  std::string reason;  // the refusal's message, lines joined by CrLf
};

struct BatchOutcome {
  std::vector<BatchFailure> skipped;
  bool cancelled = false;
  int done = 0;  // files processed (skipped ones included)
};

inline constexpr int kAutoCopyColumns = 20;
using AutoCopyRow = std::array<std::string, kAutoCopyColumns>;

struct AutoCopyResult : BatchOutcome {
  std::vector<AutoCopyRow> rows;  // one per file that opened, in list order
  std::string clipText() const;
};

// One row per file: name parts and stroke, the impulse mode's overall duration and impulse
// means of both columns, the peak force mode's overall peak means, the trial time, the swim
// figures and the client's height and weight.
AutoCopyResult AutoCopy(const Session& current, const std::vector<std::string>& files,
                        const TrialOpener& open, BatchProgress& progress);

// Prints the performance report of each file through `print` (false from it stops the run).
// `fileDate` gives the date printed for a file.
struct AutoPrintResult : BatchOutcome {
  int printed = 0;
};
AutoPrintResult AutoPrint(const Session& current, const std::vector<std::string>& files,
                          const TrialOpener& open, BatchProgress& progress,
                          const std::function<bool(const ReportDocument&)>& print);

// The message that lists the files a run skipped (empty when none was).
std::string SkippedFilesText(const BatchOutcome& outcome);

// The trial files (ending in ".dat", any case) of `folder`, sorted by name; empty when the
// folder cannot be read.
std::vector<std::string> DataFilesIn(const std::string& folder);

}  // namespace tidemet
