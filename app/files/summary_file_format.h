#pragma once
// The summary file (.sum): the trial header, the per-pair set-up and, per analysed pair, the
// repetition rows of both channels, as comma-separated records. A pure reader that checks every
// count and range before trusting it, and a writer that analyses each pair it stores.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/analysis/repetition_analyzer.h"
#include "app/files/record_codec.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

inline constexpr int kStoredSummaryColumns = 16;  // columns 1..16 of SummaryTable
using StoredSummaryRow = std::array<float, kStoredSummaryColumns>;

// The largest valid summary: seven texts of the longest stored length, and the numbers of both
// records and of four pairs of 201 rows each at their widest - 951517 bytes. Nothing larger is
// read.
inline constexpr size_t kLargestSummaryFileBytes =
    7 * (kLongestStoredText + kFieldFraming) +
    (9 + 10 + 4 * (3 + kSummaryRows * kStoredSummaryColumns)) * (kWidestNumberText + 2);

struct SummaryHeader {
  std::string versionTag;
  std::string clientName;
  std::string pairLabel;
  int16_t pairStartChannel = 0;
  int16_t surfaceArea = 0;
  int16_t limbMode = 1;
  int16_t sampleCount = 0;
  float calibrationFactor = 1;
  float trialSeconds = 0;
  int16_t mostReps = 0;  // read and not used
  int16_t dataUnitsFlag = 1;
  int16_t channelCount = 8;
};

struct SummaryPairSetup {  // record 2, from "Tidemet V2.0" on
  std::array<int16_t, 4> pairAreas{};
  std::array<std::string, 4> pairLabels{};
  std::array<int16_t, 4> pairJoints{};
  int16_t jointAction = 0;
  int16_t swimFlag = 0;
};

struct SummaryBlock {
  int16_t pairStartChannel = 0;
  int16_t firstPairReps = 0;
  int16_t secondPairReps = 0;
  std::vector<StoredSummaryRow> rows;  // rows 0.. as far as the file goes
  bool complete = false;               // all rows 0..max(first, second) were read
};

struct SummaryContents {
  SummaryHeader header;
  std::optional<SummaryPairSetup> setup;
  std::vector<SummaryBlock> blocks;  // at most channel count / 2; reading ends at a damaged one
};

struct SummaryParse {
  std::optional<SummaryContents> contents;
  std::string reason;  // why the header could not be read
};

// Versions 1SA and 1.1 have no record 2.
bool SummaryHasPairSetup(std::string_view versionTag);

SummaryParse ParseSummaryFile(std::string_view bytes);

// Writes the summary of the trial in `s`: analyses every pair it stores (the caller has run
// the analysis of the current pair, so the header's repetition count is current). The session's
// pair, surface area and analysis results are put back afterwards; a baseline offset lowered by
// a swimming analysis stays lowered.
std::string SummaryFileBytes(Session& s, RepetitionAnalyzer& analyzer, Alerts& alerts);

// A summary opened before, written again as it was read (with the current tag): its header and
// every block with every row it held. A summary without record 2 gets the session's pair set-up.
std::string StoredSummaryBytes(const SummaryContents& c, const Session& s);

// The pairs a summary stores for this trial: both pairs of the two-pair unit, the current pair
// of a two-channel trial, else every pair the channel count has.
std::vector<int> SummaryPairs(const Session& s);

}  // namespace tidemet
