#include "app/export/trial_export.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/analysis/recompute_analysis.h"
#include "app/analysis/repetition_analyzer.h"
#include "app/export/csv_export.h"
#include "app/export/edf_export.h"
#include "app/files/safe_file.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

std::string channelLabel(int column) { return "Ch" + std::to_string(column + 1); }

// The data columns a trial of `channels` channels keeps: its pair when it has two.
std::vector<int> recordedColumns(const Session& s) {
  if (s.ChannelCount == 2) return {s.PairStartChannel, s.PairStartChannel + 1};
  std::vector<int> columns(static_cast<size_t>(s.ChannelCount));
  for (int c = 0; c < s.ChannelCount; ++c) columns[static_cast<size_t>(c)] = c;
  return columns;
}

// The repetitions of the displayed pair, as the analysis finds them for this trial. Marks that
// do not lie inside the trial in order (start <= end of positive phase <= end) are left out.
std::vector<ExportMarker> repetitionMarkers(const Session& s, int samples) {
  auto copy = std::make_unique<Session>(s);
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;  // an overflow warning belongs to the analysis window, not the export
  RecomputeAnalysis(*copy, analyzer, alerts);
  const AnalysisResults& r = copy->analysis;

  std::vector<ExportMarker> out;
  const int columns[2] = {copy->PairStartChannel, copy->PairSecondChannel};
  const int reps[2] = {r.FirstPairReps, r.SecondPairReps};
  for (int side = 0; side < 2; ++side) {
    const int d = columns[side];
    if (d < 0 || d >= kMarkerColumns || !ColumnConnected(*copy, d)) continue;
    for (int j = 0; j <= reps[side] && j < kCycleRecords; ++j) {
      const int start = r.RepStartMarks[d][j];
      const int posEnd = r.RepPosEndMarks[d][j];
      const int negEnd = r.RepNegEndMarks[d][j];
      const int peak = r.RepPeakMarks[d][j];
      if (start < 0 || start > posEnd || posEnd > negEnd || negEnd > samples || start == negEnd)
        continue;
      const std::string name = channelLabel(d) + " rep " + std::to_string(j);
      out.push_back({start, negEnd - start, name});
      if (peak >= start && peak <= posEnd) out.push_back({peak, -1, name + " peak"});
      if (posEnd < negEnd) out.push_back({posEnd, -1, name + " " + copy->labels.NegativeLabel});
    }
  }
  std::stable_sort(out.begin(), out.end(), [](const ExportMarker& a, const ExportMarker& b) {
    return a.sample < b.sample;
  });
  return out;
}

std::optional<std::string> refusal(const Session& s) {
  if (SummaryIsOpen(s))
    return "A summary file holds no samples; open the trial's data file to export it.";
  if (s.SampleCount <= 0) return "There is no recorded trial to export.";
  if (s.ChannelCount != 2 && s.ChannelCount != 4 && s.ChannelCount != 8)
    return "The trial has " + std::to_string(s.ChannelCount) +
           " channels; only trials of 2, 4 or 8 channels can be exported.";
  if (s.ChannelCount == 2 && (s.PairStartChannel < 0 || s.PairStartChannel > 6))
    return "The trial's channel pair starts at an unknown channel.";
  if (!std::isfinite(s.TrialSeconds) || s.TrialSeconds <= 0)
    return "The trial has no measured trial time.";
  return std::nullopt;
}

}  // namespace

int16_t TrialExport::count(const Session& s, int k, const ExportChannel& channel) const {
  const int index = s.trialIndex(k, channel.column);
  return index >= 0 ? s.TrialData[static_cast<size_t>(index)] : int16_t{0};
}

ExportPlan PlanTrialExport(const Session& s) {
  ExportPlan plan;
  if (auto why = refusal(s)) {
    plan.error = *why;
    return plan;
  }
  TrialExport t;
  t.samples = s.SampleCount;
  t.channels.reserve(static_cast<size_t>(s.ChannelCount));
  for (int column : recordedColumns(s)) {
    // Row samples-1 of the last column must lie inside the buffer; a header that claims more
    // rows than the buffer holds is refused rather than padded.
    if (s.trialIndex(t.samples - 1, column) < 0) {
      plan.error = "The trial claims " + std::to_string(t.samples) +
                   " samples, more than the trial buffer holds.";
      return plan;
    }
    t.channels.push_back({column, channelLabel(column),
                          s.BaselineOffsets[static_cast<size_t>(column)] + s.BaselineOffset});
  }
  t.secondsPerSample = static_cast<double>(s.TrialSeconds) / t.samples;
  // The force scale as the analysis computes it, in the units in force.
  t.forceScale = static_cast<double>(static_cast<float>(s.SurfaceArea) * s.PressurePerCount *
                                     s.CalibrationFactor);
  if (!std::isfinite(t.forceScale) || t.forceScale == 0) {
    plan.error = "The trial has no force scale (the surface area is " +
                 std::to_string(s.SurfaceArea) + "); set the surface area before exporting.";
    return plan;
  }
  t.forceUnit = s.UnitsFlag == 1 ? "N" : "lbs";
  t.clientName = s.DataClientName.empty() ? s.ClientName : s.DataClientName;
  t.comments = s.Comments;
  t.markers = repetitionMarkers(s, t.samples);
  plan.trial = std::move(t);
  return plan;
}

ExportFormat ExportFormatFor(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".csv" ? ExportFormat::Csv : ExportFormat::Edf;
}

std::optional<std::string> ExportTrial(const Session& s, const std::filesystem::path& path,
                                       ExportFormat format) {
  const ExportPlan plan = PlanTrialExport(s);
  if (!plan.trial) return plan.error;
  if (format == ExportFormat::Csv) return WriteFileAtomically(path, CsvTrialText(s, *plan.trial));
  std::string bytes;
  if (auto error = EdfTrialBytes(s, *plan.trial, bytes)) return error;
  return WriteFileAtomically(path, bytes);
}

Alert ExportFailedAlert(const std::filesystem::path& path, const std::string& why) {
  Alert a;
  a.title = std::string(AppTitle) + " Error";
  a.text = "File: " + path.string() + std::string(CrLf) + "could not be exported." +
           std::string(CrLf) + why;
  return a;
}

}  // namespace tidemet
