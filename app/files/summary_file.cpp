#include "app/files/summary_file.h"

#include <algorithm>

#include "app/files/client_entry.h"
#include "app/files/safe_file.h"
#include "app/files/summary_file_format.h"
#include "app/files/trial_file.h"
#include "app/session/monitor_menus.h"
#include "app/session/settings_state.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

constexpr std::string_view kV1SA = "Tidemet V1SA";

bool refuse(Session& s, TrialFileContext& ctx, const Alert& alert) {
  ctx.alerts.show(alert);
  s.OpenFailed = 1;
  s.OpenedFromFile = 0;
  return false;
}

// The checks of a file opened into a comparison that already holds files; the refusal's
// message, or nothing.
std::optional<Alert> comparisonRefusal(const Session& s, const SummaryContents& c,
                                       const std::string& upper, const SummaryComparison* cmp) {
  const SummaryHeader& h = c.header;
  const bool isV1SA = h.versionTag == kV1SA;
  if (h.channelCount == 2 && h.pairStartChannel != s.PairStartChannel) return MismatchAlert(upper);
  if (isV1SA && h.pairLabel != s.PairLabel) return MismatchAlert(upper);
  if (!isV1SA && cmp && cmp->firstFileIsV1SA()) return MismatchAlert(upper);
  if (VersionTagIndex(h.versionTag) < 0) return UnknownVersionAlert(upper);
  if (h.clientName != s.DataClientName) return WrongClientAlert(upper, h.clientName);
  if (h.limbMode != s.LimbMode) return MismatchAlert(upper);
  if (const auto& p = c.setup) {
    if (p->swimFlag != s.SwimFlag || p->jointAction != s.JointAction) return MismatchAlert(upper);
    if (h.channelCount == 8) {
      if (p->pairJoints[0] != s.PairJoints[0] || p->pairJoints[1] != s.PairJoints[1])
        return MismatchAlert(upper);
    } else if ((h.pairStartChannel == 0 && p->pairJoints[0] != s.PairJoints[0]) ||
               (h.pairStartChannel == 2 && p->pairJoints[1] != s.PairJoints[1])) {
      return MismatchAlert(upper);
    }
  }
  return std::nullopt;
}

// The block shown: the first for the current pair, else the last one read.
const SummaryBlock* chooseBlock(const SummaryContents& c, int currentPair) {
  const SummaryBlock* chosen = nullptr;
  for (const SummaryBlock& b : c.blocks) {
    chosen = &b;
    if (b.pairStartChannel == currentPair) break;
  }
  return chosen;
}

void takeResults(Session& s, const SummaryContents& c) {
  AnalysisResults& r = s.analysis;
  r.clearSummaryTable();
  r.FirstPairReps = r.SecondPairReps = 0;
  r.SummaryHasResults = false;
  const SummaryBlock* b = chooseBlock(c, s.PairStartChannel);
  // Another pair's rows are never shown as the current pair's: only a two-channel summary,
  // whose one pair becomes current, may hold a block of another pair.
  if (!b || (c.header.channelCount != 2 && b->pairStartChannel != s.PairStartChannel)) return;
  for (size_t j = 0; j < b->rows.size() && j < static_cast<size_t>(kSummaryRows); ++j)
    std::copy(b->rows[j].begin(), b->rows[j].end(), r.SummaryTable[j].begin() + 1);
  r.FirstPairReps = b->firstPairReps;
  r.SecondPairReps = b->secondPairReps;
  r.SummaryHasResults = true;
  if (c.header.channelCount == 2) {
    s.PairLabel = c.header.pairLabel;
    SetPair(s, b->pairStartChannel / 2);
  }
}

}  // namespace

bool OpenSummaryBytes(Session& s, TrialFileContext& ctx, const std::string& path,
                      std::string_view bytes, const SummaryComparison* comparison) {
  s.OpenFailed = 0;
  s.OpenedFromFile = 0;
  const std::string upper = UpperPath(path);
  const SummaryParse parsed = ParseSummaryFile(bytes);
  if (!parsed.contents) return refuse(s, ctx, DamagedFileAlert(upper, parsed.reason));
  const SummaryContents& c = *parsed.contents;
  const SummaryHeader& h = c.header;
  const bool knownTag = VersionTagIndex(h.versionTag) >= 0;
  if (!parsed.reason.empty())
    return refuse(s, ctx, knownTag ? DamagedFileAlert(upper, parsed.reason) : UnknownVersionAlert(upper));

  // Every check comes before the session changes, so a refusal leaves it as it was.
  const bool otherClient = h.clientName != TrimTrailingBlanks(s.ClientName);
  if (otherClient && !SummaryHasPairSetup(h.versionTag))
    return refuse(s, ctx, WrongClientAlert(upper, h.clientName));
  const bool intoComparison = ctx.comparison.openingIntoComparison();
  const bool comparisonHasFiles = ctx.comparison.fileCount() > 0;
  if (intoComparison && comparisonHasFiles) {
    if (auto refusal = comparisonRefusal(s, c, upper, comparison)) return refuse(s, ctx, *refusal);
  }
  if (!knownTag) return refuse(s, ctx, UnknownVersionAlert(upper));

  if (otherClient && !intoComparison) SelectFileClient(s, ctx.clients, h.clientName);
  s.SampleCount = h.sampleCount;
  s.CalibrationFactor = h.calibrationFactor;
  s.TrialSeconds = h.trialSeconds;
  if (h.sampleCount > 0) s.SecondsPerSample = h.trialSeconds / static_cast<float>(h.sampleCount);
  s.DataUnitsFlag = h.dataUnitsFlag;
  // The channel menus follow the file (four channels hold only pairs 1-2 and 3-4).
  SetChannelCount(s, h.channelCount == 2 ? 0 : h.channelCount == 4 ? 1 : 2);
  s.LimbMode = h.limbMode;

  s.Stroke.clear();
  SetLimb(s, s.LimbMode - 1);
  int16_t jointAction = 0;
  std::array<int16_t, 2> joints{};
  if (const auto& p = c.setup) {
    s.PairAreas = p->pairAreas;
    s.PairLabels = p->pairLabels;
    s.PairJoints[2] = p->pairJoints[2];
    s.PairJoints[3] = p->pairJoints[3];
    jointAction = p->jointAction;
    joints = {p->pairJoints[0], p->pairJoints[1]};
    if (!comparisonHasFiles) s.SwimFlag = p->swimFlag;
  }
  s.JointAction = jointAction;
  s.PairJoints[0] = joints[0];
  s.PairJoints[1] = joints[1];
  s.EquipmentFlag = 0;
  ApplyTrialModeSetup(s);
  SetMovementLabels(s);

  takeResults(s, c);
  s.Comments.clear();
  ComputeAxisLabels(s);
  s.DataVersionTag = h.versionTag;
  s.DataClientName = h.clientName;
  s.FileClientName = h.clientName;
  s.CurrentFileName = path;
  s.OpenedFromFile = 1;
  return true;
}

bool SummaryFile::holdsSummary(const Session& s) const {
  // A recording clears the file name and an open or a save sets another, so the name tells
  // whether the trial in memory is still the summary opened.
  return opened_ && !s.CurrentFileName.empty() && s.CurrentFileName == openedPath_;
}

std::optional<std::string> SummaryFile::bytes(Session& s, std::string&) {
  if (holdsSummary(s)) return StoredSummaryBytes(*opened_, s);
  return SummaryFileBytes(s, analyzer_, alerts_);
}

void SummaryFile::savedAs(const std::string& path, bool fromSummary) {
  if (fromSummary) {
    openedPath_ = path;
  } else {
    opened_.reset();
    openedPath_.clear();
  }
}

bool SummaryFile::open(Session& s, TrialFileContext& ctx, const std::string& path) {
  std::string why;
  auto bytes = ReadWholeFile(path, kLargestSummaryFileBytes, &why);
  if (!bytes) return refuse(s, ctx, DamagedFileAlert(UpperPath(path), why));
  if (!OpenSummaryBytes(s, ctx, path, *bytes, comparison_)) return false;
  // Read again only after it was accepted: the open checked it whole.
  opened_ = ParseSummaryFile(*bytes).contents;
  openedPath_ = path;
  return true;
}

}  // namespace tidemet
