// Fuzz entry for the summary reader: parsing, opening into the session and showing the rows.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "app/analysis/recompute_analysis.h"
#include "app/files/summary_file.h"
#include "app/files/summary_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tidemet;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const SummaryParse parsed = ParseSummaryFile(bytes);
  if (parsed.contents) {
    const SummaryContents& c = *parsed.contents;
    if (c.blocks.size() > static_cast<size_t>(kMaxChannels / 2)) std::abort();
    for (const SummaryBlock& b : c.blocks)
      if (b.rows.size() > static_cast<size_t>(kSummaryRows)) std::abort();
  }

  auto s = std::make_unique<Session>();
  s->ClientName = "Ann Lee";
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  ClientList clients;
  NoComparison comparison;
  SummaryFile summary(analyzer, alerts);
  TrialFileContext ctx{alerts, clients, comparison, summary};
  const bool opened = OpenSummaryBytes(*s, ctx, "fuzz.sum", bytes);
  if (opened != alerts.shown.empty()) std::abort();  // a refusal always says why
  if (opened) {
    RecomputeAnalysis(*s, analyzer, alerts);
    const AnalysisResults& r = s->analysis;
    if (r.FirstPairReps < -1 || r.FirstPairReps >= kSummaryRows) std::abort();
    if (r.grids.rows.size() != static_cast<size_t>(r.MostReps) + 1) std::abort();
  }
  return 0;
}
