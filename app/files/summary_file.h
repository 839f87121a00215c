#pragma once
// Opening and saving summary files through the trial files' summary seam.

#include <optional>
#include <string>
#include <string_view>

#include "app/analysis/repetition_analyzer.h"
#include "app/files/summary_file_format.h"
#include "app/files/trial_seams.h"

namespace tidemet {

// What the summary reader asks of the comparison beyond the data file's questions.
class SummaryComparison {
 public:
  virtual ~SummaryComparison() = default;
  // Whether the comparison's first file was a "Tidemet V1SA" summary.
  virtual bool firstFileIsV1SA() const = 0;
};

class SummaryFile : public SummaryFileSeam {
 public:
  // `alerts` receives the analysis warnings of a save; `comparison` may be null when no
  // comparison window exists.
  SummaryFile(RepetitionAnalyzer& analyzer, Alerts& alerts,
              const SummaryComparison* comparison = nullptr)
      : analyzer_(analyzer), alerts_(alerts), comparison_(comparison) {}

  // A summary opened and saved again gives back its stored rows; any other trial is analysed.
  std::optional<std::string> bytes(Session& s, std::string& why) override;
  bool holdsSummary(const Session& s) const override;
  void savedAs(const std::string& path, bool fromSummary) override;
  bool open(Session& s, TrialFileContext& ctx, const std::string& path) override;

 private:
  RepetitionAnalyzer& analyzer_;
  Alerts& alerts_;
  const SummaryComparison* comparison_;
  // The summary last opened, with the name the trial in memory has while it is that summary.
  std::optional<SummaryContents> opened_;
  std::string openedPath_;
};

// The reading part of SummaryFile::open on bytes already read (`path` names them).
bool OpenSummaryBytes(Session& s, TrialFileContext& ctx, const std::string& path,
                      std::string_view bytes, const SummaryComparison* comparison = nullptr);

}  // namespace tidemet
