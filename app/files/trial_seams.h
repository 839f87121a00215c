#pragma once
// What opening and saving a trial reaches beyond the files: the comparison window's files, the
// summary file that a save also writes, the client list and the message boxes.

#include <optional>
#include <string>

#include "app/files/client_list.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

class ComparisonSeam {
 public:
  virtual ~ComparisonSeam() = default;
  virtual int fileCount() const = 0;
  virtual void clear() = 0;
  // The comparison window opens the file into the comparison (its File Open sets this).
  virtual bool openingIntoComparison() const = 0;
};

class NoComparison : public ComparisonSeam {
 public:
  int fileCount() const override { return 0; }
  void clear() override {}
  bool openingIntoComparison() const override { return false; }
};

struct TrialFileContext;

class SummaryFileSeam {
 public:
  virtual ~SummaryFileSeam() = default;
  // The summary of the trial in `s`, for the caller to write (beside its data file, or alone).
  // Nothing with `why` left empty when no summary is written; nothing with `why` set when the
  // summary cannot be made.
  virtual std::optional<std::string> bytes(Session& s, std::string& why) = 0;
  // Whether the trial in memory is a summary this seam opened: it holds results, no samples.
  virtual bool holdsSummary(const Session&) const { return false; }
  // After the trial was saved to `path`; `fromSummary` as holdsSummary said before the save.
  virtual void savedAs(const std::string&, bool /*fromSummary*/) {}
  // Opens a summary named `path`: on refusal it shows its message through ctx.alerts, sets
  // OpenFailed and returns false.
  virtual bool open(Session& s, TrialFileContext& ctx, const std::string& path) = 0;
};

// Until summaries exist: a save writes no summary, and a summary cannot be opened.
class NoSummaryFile : public SummaryFileSeam {
 public:
  std::optional<std::string> bytes(Session&, std::string&) override { return std::nullopt; }
  bool open(Session& s, TrialFileContext& ctx, const std::string& path) override;
};

struct TrialFileContext {
  Alerts& alerts;
  ClientListSeam& clients;
  ComparisonSeam& comparison;
  SummaryFileSeam& summary;
};

}  // namespace tidemet
