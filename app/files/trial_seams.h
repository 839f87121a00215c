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
  // Writes the summary of the trial in `s` to `path`; nothing on success, else why it failed
  // (the caller shows the message). Write through WriteFileAtomically.
  virtual std::optional<std::string> save(Session& s, const std::string& path) = 0;
  // Opens a summary named `path`: on refusal it shows its message through ctx.alerts, sets
  // OpenFailed and returns false.
  virtual bool open(Session& s, TrialFileContext& ctx, const std::string& path) = 0;
};

// Until summaries exist: a save writes no summary, and a summary cannot be opened.
class NoSummaryFile : public SummaryFileSeam {
 public:
  std::optional<std::string> save(Session&, const std::string&) override { return std::nullopt; }
  bool open(Session& s, TrialFileContext& ctx, const std::string& path) override;
};

struct TrialFileContext {
  Alerts& alerts;
  ClientListSeam& clients;
  ComparisonSeam& comparison;
  SummaryFileSeam& summary;
};

}  // namespace tidemet
