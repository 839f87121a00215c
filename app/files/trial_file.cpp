#include "app/files/trial_file.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "app/files/client_entry.h"
#include "app/files/list_files.h"
#include "app/files/safe_file.h"
#include "app/session/model_table.h"
#include "app/session/monitor_menus.h"
#include "app/session/rounding.h"
#include "app/session/settings_state.h"
#include "app/session/text.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

Alert fileAlert(std::initializer_list<std::string_view> lines) {
  return {std::string(AppTitle), JoinLines(lines), AlertIcon::Exclamation, AlertButtons::Ok};
}

bool endsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool refuse(Session& s, TrialFileContext& ctx, const Alert& alert) {
  ctx.alerts.show(alert);
  s.OpenFailed = 1;
  s.OpenedFromFile = 0;
  return false;
}

void takeSamples(Session& s, const TrialFileContents& c) {
  SavedChannels(c.channelCount, c.pairStartChannel, s.SaveFirstChannel, s.SaveLastChannel);
  // A new trial replaces the whole array, so no column of the previous one shows through.
  s.TrialData.fill(0);
  const int perSample = s.SaveLastChannel - s.SaveFirstChannel + 1;
  for (int j = 0; j < c.sampleCount; ++j)
    for (int k = 0; k < perSample; ++k)
      s.TrialData[static_cast<size_t>(SampleIndexFor(j, s.SaveFirstChannel + k, c.channelCount))] =
          c.samples[static_cast<size_t>(j * perSample + k)];
}

// Height and weight read in the file's units, first converted to the current ones; then the
// units switch (which converts the list and the client once more) leaves the program in the
// file's units.
void followFileUnits(Session& s, TrialFileContext& ctx) {
  if (s.RecordedUnitsFlag == s.UnitsFlag) return;
  const bool fileMetric = s.RecordedUnitsFlag == 1;
  if (fileMetric) {
    s.ClientHeight = ConvertMeasureText(s.ClientHeight, 1 / kCentimetresPerInch);
    s.ClientWeight = ConvertMeasureText(s.ClientWeight, kPoundsPerKilogram);
  } else {
    s.ClientHeight = ConvertMeasureText(s.ClientHeight, kCentimetresPerInch);
    s.ClientWeight = ConvertMeasureText(s.ClientWeight, 1 / kPoundsPerKilogram);
  }
  SwitchUnits(s, fileMetric);
  ctx.clients.convertUnits(fileMetric);
}

void commit(Session& s, TrialFileContext& ctx, const std::string& path, const TrialFileContents& c) {
  if (c.clientName != TrimTrailingBlanks(s.ClientName)) {
    if (c.clientName != s.DataClientName && ctx.comparison.fileCount() > 0) ctx.comparison.clear();
    SelectFileClient(s, ctx.clients, c.clientName);
  }

  if (c.pairStartChannel != s.PairStartChannel && ctx.comparison.fileCount() > 0) ctx.comparison.clear();
  // The channel menus follow the file; four channels hold only pairs 1-2 and 3-4. A two-channel
  // trial brings its own pair and label.
  SetChannelCount(s, c.channelCount == 2 ? 0 : c.channelCount == 4 ? 1 : 2);
  if (c.channelCount == 2) {
    SetPair(s, c.pairStartChannel / 2);
    s.PairLabel = c.pairLabel;
  }
  s.GraphGain = c.gain;
  s.SurfaceArea = c.surfaceArea;
  if (c.limbMode != s.LimbMode && ctx.comparison.fileCount() > 0) ctx.comparison.clear();
  s.LimbMode = c.limbMode;

  s.SampleCount = c.sampleCount;
  s.CalibrationFactor = c.calibrationFactor;
  s.TrialSeconds = c.trialSeconds;
  if (c.sampleCount > 0) s.SecondsPerSample = c.trialSeconds / static_cast<float>(c.sampleCount);
  for (size_t i = 0; i < 8; ++i) s.BaselineOffsets[i] = std::clamp<int16_t>(c.baselineOffsets[i], -79, 79);
  takeSamples(s, c);
  s.Comments = c.comments;

  // Header-dependent set-up, then the limb mode's.
  s.Stroke.clear();
  s.JointAction = 0;
  SetLimb(s, s.LimbMode - 1);

  if (c.version2) {
    const auto& v2 = *c.version2;
    s.JointAction = v2.jointAction;
    s.PairJoints = v2.pairJoints;
    s.PairAreas = v2.pairAreas;
    s.PairLabels = v2.pairLabels;
    s.SwimFlag = v2.swimFlag;
    if (c.kind == TagKind::V2Early) s.SwimDistance = 0;
    if (c.swimDistance && *c.swimDistance > 0) s.SwimDistance = *c.swimDistance;
    ApplyTrialModeSetup(s);
  }
  SetMovementLabels(s);

  // A file without its units block is taken in the current units.
  s.RecordedModelCode = s.ModelCode;
  s.RecordedUnitsFlag = s.UnitsFlag;
  if (c.recorded) {
    s.RecordedUnitsFlag = c.recorded->unitsFlag;
    s.RecordedModelCode = c.recorded->modelCode;
    s.ClientHeight = c.recorded->height;
    s.ClientWeight = c.recorded->weight;
  }
  if (c.kind == TagKind::V2Early || c.kind == TagKind::V2Late) s.RecordedModelCode = 3;
  if (c.kind == TagKind::V3Early) s.RecordedModelCode = 12;
  // Always for the recorded model: the calibration in force may still be a previous file's.
  ApplyCalibration(s, s.RecordedModelCode);
  followFileUnits(s, ctx);

  s.EquipmentFlag = endsWith(c.pairLabel, "Eqp") ? 1 : 0;
  s.DataVersionTag = c.versionTag;
  s.DataClientName = c.clientName;
  s.FileClientName = c.clientName;
  s.DataUnitsFlag = s.UnitsFlag;
  s.CurrentFileName = path;
  ComputeSegmentAreas(s);
  s.labels.SurfaceAreaText = SurfaceAreaDisplayText(s);
  ComputeAxisLabels(s);
  s.OpenedFromFile = 1;
}

}  // namespace

std::string UpperPath(std::string_view path) {
  std::string out(path);
  for (char& ch : out) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return out;
}

std::string SummaryPathFor(const std::string& dataPath) {
  static constexpr std::string_view kSum = "SUM";
  std::string out = dataPath;
  const size_t n = std::min(kSum.size(), out.size());
  for (size_t i = 0; i < n; ++i) {
    char& ch = out[out.size() - n + i];
    const char up = kSum[kSum.size() - n + i];
    ch = std::islower(static_cast<unsigned char>(ch)) ? static_cast<char>(std::tolower(up)) : up;
  }
  return out;
}

Alert UnknownVersionAlert(const std::string& upperPath) {
  return fileAlert({"File: " + upperPath, "is not an Tidemet Version 1.1, 2.X, or 3.X file",
                    "and cannot be opened with this program."});
}

Alert WrongClientAlert(const std::string& upperPath, const std::string& fileClient) {
  return fileAlert({"File: " + upperPath, "contains data for Client: " + fileClient,
                    "Change Client or select another file."});
}

Alert MismatchAlert(const std::string& upperPath) {
  return fileAlert({"Resistive surface or joint action", "for " + upperPath,
                    "does not match with above file(s).", "Remove all files before opening."});
}

Alert DamagedFileAlert(const std::string& upperPath, const std::string& reason) {
  return fileAlert({"File: " + upperPath, reason, "and cannot be opened with this program."});
}

void SelectFileClient(Session& s, ClientListSeam& list, const std::string& fileClient) {
  if (list.count() == 0) {
    s.ClientName = fileClient;
    return;
  }
  int found = FindClient(list, fileClient);
  list.select(found >= 0 ? found : 0);
  const std::string entry = list.entry(list.selected());
  s.ClientName = EntryName(entry);
  s.ClientCode = EntryCode(entry);
  s.ClientHeight = EntryHeight(entry);
  s.ClientWeight = EntryWeight(entry);
}

bool NoSummaryFile::open(Session& s, TrialFileContext& ctx, const std::string& path) {
  return refuse(s, ctx, DamagedFileAlert(UpperPath(path), "is a summary file, which this program cannot open yet."));
}

bool OpenTrialBytes(Session& s, TrialFileContext& ctx, const std::string& path, std::string_view bytes) {
  s.OpenFailed = 0;
  s.OpenedFromFile = 0;
  const std::string upper = UpperPath(path);
  // Everything is read and checked before the session changes, so a refusal leaves the trial,
  // the client and the comparison as they were.
  TrialFileParse parsed = ParseTrialFile(bytes);
  if (parsed.fault == TrialFileFault::UnknownTag) return refuse(s, ctx, UnknownVersionAlert(upper));
  if (parsed.fault == TrialFileFault::Damaged) return refuse(s, ctx, DamagedFileAlert(upper, parsed.reason));
  const TrialFileContents& c = *parsed.contents;

  if (c.kind == TagKind::V1 && c.clientName != TrimTrailingBlanks(s.ClientName))
    return refuse(s, ctx, WrongClientAlert(upper, c.clientName));
  if (ctx.comparison.openingIntoComparison() &&
      (c.pairStartChannel != s.PairStartChannel || c.limbMode != s.LimbMode))
    return refuse(s, ctx, MismatchAlert(upper));

  commit(s, ctx, path, c);
  return true;
}

bool OpenTrialFile(Session& s, TrialFileContext& ctx, const std::string& path) {
  const std::string upper = UpperPath(path);
  if (!endsWith(upper, "DAT")) return ctx.summary.open(s, ctx, path);
  std::string why;
  auto bytes = ReadWholeFile(path, kLargestTrialFileBytes, &why);
  if (!bytes) return refuse(s, ctx, DamagedFileAlert(upper, why));
  if (!OpenTrialBytes(s, ctx, path, *bytes)) return false;
  ctx.summary.savedAs(path, false);
  return true;
}

bool SaveTrialFile(Session& s, TrialFileContext& ctx, const std::string& path) {
  const std::string upper = UpperPath(path);
  const bool dataFile = endsWith(upper, "DAT");
  const bool fromSummary = ctx.summary.holdsSummary(s);
  if (dataFile && fromSummary) {
    ctx.alerts.show(SaveFailedAlert(
        upper, "the trial comes from a summary file, which holds no samples; save it as a summary (.sum)."));
    return false;
  }
  // The units of stored results stay those of the summary they came from.
  if (!fromSummary) s.DataUnitsFlag = s.UnitsFlag;

  // The data file and its summary are written as a pair, the summary last, so that a reader
  // never finds a new data file beside an old summary.
  std::vector<FileToWrite> files;
  std::string dataBytes;
  if (dataFile) {
    dataBytes = TrialFileBytes(s);
    files.push_back({path, dataBytes});
  }
  std::optional<std::string> summaryBytes;
  const std::string summaryPath = dataFile ? SummaryPathFor(path) : path;
  if (!dataFile || !s.AutosaveFlag) {
    std::string why;
    summaryBytes = ctx.summary.bytes(s, why);
    if (!why.empty()) {
      ctx.alerts.show(SaveFailedAlert(UpperPath(summaryPath), why));
      return false;
    }
    if (summaryBytes) files.push_back({summaryPath, *summaryBytes});
  }
  for (const FileToWrite& f : files) {
    if (IsReadOnlyFile(f.path) && ctx.alerts.show(ReplaceReadOnlyQuestion(UpperPath(f.path.string()))) != AlertAnswer::Yes)
      return false;
  }
  if (auto why = WriteFilesTogether(files)) {
    ctx.alerts.show(SaveFailedAlert(upper, *why));
    return false;
  }
  if (dataFile && WritesRecordedBlock(s.DataVersionTag)) s.RecordedUnitsFlag = s.UnitsFlag;
  s.CurrentFileName = path;
  ctx.summary.savedAs(path, fromSummary);
  return true;
}

Alert ReplaceReadOnlyQuestion(const std::string& upperPath) {
  return {std::string(AppTitle), JoinLines({"File: " + upperPath, "is read-only. Replace it?"}),
          AlertIcon::Question, AlertButtons::YesNo};
}

}  // namespace tidemet
