#include "cli_commands.h"

#include "analyze_report.h"
#include "app/analysis/recompute_analysis.h"
#include "app/analysis/sample_export.h"
#include "app/export/trial_export.h"
#include "app/files/safe_file.h"
#include "app/files/summary_file_format.h"
#include "app/files/trial_file.h"
#include "app/files/trial_file_format.h"
#include "app/files/trial_workspace.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "json_writer.h"

namespace tidemet::cli {
namespace {

bool isDataFile(const std::string& path) { return UpperPath(path).ends_with("DAT"); }

// A message box's text as terminal lines.
void printAlert(std::ostream& err, const Alert& a) {
  err << WithLineFeeds(a.text) << "\n";
}

// A workspace set up as the program starts, with the file's client selected; false (after
// saying why) when the working folder's lists cannot be read.
bool prepare(TrialWorkspace& w, const CliOptions& o, const std::string& file, std::ostream& err) {
  if (auto error = w.load(o.workingFolder ? std::optional<std::filesystem::path>(*o.workingFolder)
                                          : std::nullopt)) {
    err << "tidemet-cli: " << error.text << "\n";
    return false;
  }
  w.selectFileClient(file);
  if (o.pairItem) SetPair(*w.session, *o.pairItem);
  return true;
}

bool openFile(TrialWorkspace& w, const std::string& file, std::ostream& err) {
  if (w.open(file)) return true;
  for (const Alert& a : w.alerts.shown) printAlert(err, a);
  return false;
}

template <typename T, size_t N>
void array(JsonWriter& j, const std::array<T, N>& values, size_t count = N) {
  j.beginArray();
  for (size_t i = 0; i < count; ++i) {
    if constexpr (std::is_same_v<T, std::string>) j.value(values[i]);
    else j.value(static_cast<int>(values[i]));
  }
  j.endArray();
}

std::string dataFileInfo(const TrialFileContents& c) {
  JsonWriter j;
  j.beginObject();
  j.key("DataVersionTag").value(c.versionTag);
  j.key("DataClientName").value(c.clientName);
  j.key("PairLabel").value(c.pairLabel);
  j.key("PairStartChannel").value(static_cast<int>(c.pairStartChannel));
  j.key("GraphGain").value(c.gain);
  j.key("SurfaceArea").value(static_cast<int>(c.surfaceArea));
  j.key("LimbMode").value(static_cast<int>(c.limbMode));
  j.key("SampleCount").value(static_cast<int>(c.sampleCount));
  j.key("CalibrationFactor").value(c.calibrationFactor);
  j.key("TrialSeconds").value(c.trialSeconds);
  j.key("ChannelCount").value(static_cast<int>(c.channelCount));
  j.key("BaselineOffsets");
  array(j, c.baselineOffsets);
  j.key("Comments").value(c.comments);
  const auto& v2 = c.version2;
  j.key("JointAction");
  v2 ? j.value(static_cast<int>(v2->jointAction)) : j.null();
  j.key("PairJoints");
  v2 ? array(j, v2->pairJoints) : void(j.null());
  j.key("PairAreas");
  v2 ? array(j, v2->pairAreas) : void(j.null());
  j.key("PairLabels");
  v2 ? array(j, v2->pairLabels) : void(j.null());
  j.key("SwimFlag");
  v2 ? j.value(static_cast<int>(v2->swimFlag)) : j.null();
  j.key("SwimDistance");
  c.swimDistance ? j.value(static_cast<int>(*c.swimDistance)) : j.null();
  const auto& rec = c.recorded;
  j.key("RecordedUnitsFlag");
  rec ? j.value(static_cast<int>(rec->unitsFlag)) : j.null();
  j.key("RecordedModelCode");
  rec ? j.value(static_cast<int>(rec->modelCode)) : j.null();
  j.key("ClientHeight");
  rec ? j.value(rec->height) : j.null();
  j.key("ClientWeight");
  rec ? j.value(rec->weight) : j.null();
  j.endObject();
  return j.str() + "\n";
}

// A summary holds fewer of the record's fields; the others are null.
std::string summaryInfo(const SummaryContents& c) {
  const SummaryHeader& h = c.header;
  JsonWriter j;
  j.beginObject();
  j.key("DataVersionTag").value(h.versionTag);
  j.key("DataClientName").value(h.clientName);
  j.key("PairLabel").value(h.pairLabel);
  j.key("PairStartChannel").value(static_cast<int>(h.pairStartChannel));
  j.key("GraphGain").null();
  j.key("SurfaceArea").value(static_cast<int>(h.surfaceArea));
  j.key("LimbMode").value(static_cast<int>(h.limbMode));
  j.key("SampleCount").value(static_cast<int>(h.sampleCount));
  j.key("CalibrationFactor").value(h.calibrationFactor);
  j.key("TrialSeconds").value(h.trialSeconds);
  j.key("ChannelCount").value(static_cast<int>(h.channelCount));
  j.key("BaselineOffsets").null();
  j.key("Comments").null();
  const auto& p = c.setup;
  j.key("JointAction");
  p ? j.value(static_cast<int>(p->jointAction)) : j.null();
  j.key("PairJoints");
  p ? array(j, p->pairJoints) : void(j.null());
  j.key("PairAreas");
  p ? array(j, p->pairAreas) : void(j.null());
  j.key("PairLabels");
  p ? array(j, p->pairLabels) : void(j.null());
  j.key("SwimFlag");
  p ? j.value(static_cast<int>(p->swimFlag)) : j.null();
  for (const char* k : {"SwimDistance", "RecordedUnitsFlag", "RecordedModelCode", "ClientHeight", "ClientWeight"})
    j.key(k).null();
  j.endObject();
  return j.str() + "\n";
}

int infoOne(const std::string& file, std::ostream& out, std::ostream& err) {
  const std::string upper = UpperPath(file);
  std::string why;
  auto bytes = ReadWholeFile(file, isDataFile(file) ? kLargestTrialFileBytes : kLargestSummaryFileBytes, &why);
  if (!bytes) return printAlert(err, DamagedFileAlert(upper, why)), 1;
  if (isDataFile(file)) {
    const TrialFileParse parsed = ParseTrialFile(*bytes);
    if (parsed.fault == TrialFileFault::UnknownTag) return printAlert(err, UnknownVersionAlert(upper)), 1;
    if (!parsed.contents) return printAlert(err, DamagedFileAlert(upper, parsed.reason)), 1;
    out << dataFileInfo(*parsed.contents);
    return 0;
  }
  const SummaryParse parsed = ParseSummaryFile(*bytes);
  if (parsed.contents && VersionTagIndex(parsed.contents->header.versionTag) < 0)
    return printAlert(err, UnknownVersionAlert(upper)), 1;
  if (!parsed.contents || !parsed.reason.empty())
    return printAlert(err, DamagedFileAlert(upper, parsed.reason)), 1;
  out << summaryInfo(*parsed.contents);
  return 0;
}

}  // namespace

int RunInfo(const CliOptions& o, std::ostream& out, std::ostream& err) {
  int status = 0;
  for (const auto& file : o.files) status = std::max(status, infoOne(file, out, err));
  return status;
}

bool OpenAndAnalyze(TrialWorkspace& w, const CliOptions& o, const std::string& file, std::ostream& err) {
  if (!prepare(w, o, file, err) || !openFile(w, file, err)) return false;
  Session& s = *w.session;
  w.alerts.shown.clear();
  if (o.mode) s.analysis.AnalysisMode = static_cast<int16_t>(*o.mode);
  if (o.metric) SwitchUnits(s, *o.metric);
  if (o.stroke) s.Stroke = *o.stroke;
  RecomputeAnalysis(s, w.analyzer, w.alerts);
  return true;
}

int RunAnalyze(const CliOptions& o, std::ostream& out, std::ostream& err) {
  int status = 0;
  for (const auto& file : o.files) {
    TrialWorkspace w;
    if (!OpenAndAnalyze(w, o, file, err)) {
      status = 1;
      continue;
    }
    const Session& s = *w.session;
    out << (o.text ? AnalysisText(s, file, w.alerts.shown) : AnalysisJson(s, file, w.alerts.shown));
  }
  return status;
}

// export --format: the trial as an EDF+ or CSV file.
int exportFile(const CliOptions& o, std::ostream& err) {
  const std::string& file = o.files[0];
  if (!isDataFile(file)) {
    err << "tidemet-cli: " << file << ": a summary file holds no samples\n";
    return 1;
  }
  TrialWorkspace w;
  if (!OpenAndAnalyze(w, o, file, err)) return 1;
  const auto format = *o.fileFormat == "csv" ? ExportFormat::Csv : ExportFormat::Edf;
  if (auto error = ExportTrial(*w.session, *o.out, format)) {
    err << "tidemet-cli: " << *o.out << ": " << *error << "\n";
    return 1;
  }
  return 0;
}

int RunExport(const CliOptions& o, std::ostream& out, std::ostream& err) {
  if (o.fileFormat) return exportFile(o, err);
  int status = 0;
  for (const auto& file : o.files) {
    if (!isDataFile(file)) {
      err << "tidemet-cli: " << file << ": a summary file holds no samples\n";
      status = 1;
      continue;
    }
    TrialWorkspace w;
    if (!prepare(w, o, file, err) || !openFile(w, file, err)) {
      status = 1;
      continue;
    }
    if (o.metric) SwitchUnits(*w.session, *o.metric);
    for (const auto& row : SampleForceTable(*w.session, o.smoothed)) {
      for (size_t c = 0; c < row.size(); ++c) out << (c ? "\t" : "") << row[c];
      out << "\n";
    }
  }
  return status;
}

// A read-only file is replaced only when the command line says --force.
bool mayReplace(const CliOptions& o, const std::string& target, std::ostream& err) {
  std::vector<std::string> files{target};
  if (isDataFile(target)) files.push_back(SummaryPathFor(target));
  for (const auto& f : files) {
    if (!o.force && IsReadOnlyFile(f)) {
      err << "tidemet-cli: " << f << " is read-only; --force replaces it\n";
      return false;
    }
  }
  return true;
}

int RunResave(const CliOptions& o, std::ostream&, std::ostream& err) {
  const std::string& in = o.files[0];
  const std::string& target = o.files[1];
  if (!mayReplace(o, target, err)) return 1;
  TrialWorkspace w;
  if (!prepare(w, o, in, err) || !openFile(w, in, err)) return 1;
  // The summary's header carries the current analysis.
  RecomputeAnalysis(*w.session, w.analyzer, w.alerts);
  w.alerts.shown.clear();
  if (w.save(target)) return 0;
  for (const Alert& a : w.alerts.shown) printAlert(err, a);
  return 1;
}

int RunCli(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
  const CliOptions& o = parsed.options;
  if (o.help) {
    out << UsageText(o.command);
    return 0;
  }
  if (o.version) {
    out << "tidemet-cli 5.6\n";
    return 0;
  }
  if (!parsed.error.empty()) {
    err << "tidemet-cli: " << parsed.error << "\n" << UsageText(o.command);
    return 2;
  }
  switch (o.command) {
    case Command::Info: return RunInfo(o, out, err);
    case Command::Analyze: return RunAnalyze(o, out, err);
    case Command::Export: return RunExport(o, out, err);
    case Command::Resave: return RunResave(o, out, err);
    case Command::Simulate: return RunSimulate(o, out, err);
    case Command::Report: return RunReport(o, out, err);
    case Command::None: break;
  }
  err << UsageText(Command::None);
  return 2;
}

}  // namespace tidemet::cli
