#include "app/analysis/batch_runs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/analysis/analysis_grids.h"
#include "app/analysis/performance_report.h"
#include "app/analysis/recompute_analysis.h"
#include "app/analysis/sample_export.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

std::string upperPrefix(const std::string& text, size_t count) {
  std::string out = text.substr(0, std::min(count, text.size()));
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string failureText(const RecordingAlerts& alerts) {
  if (alerts.shown.empty()) return "The file could not be opened.";
  return alerts.shown.front().text;
}

// Runs `each` on every file opened into a fresh copy of the session.
template <typename Each>
void runOver(const Session& current, const std::vector<std::string>& files, const TrialOpener& open,
             BatchProgress& progress, BatchOutcome& outcome, Each each) {
  const int count = static_cast<int>(files.size());
  auto work = std::make_unique<Session>(current);
  for (int i = 0; i < count; ++i) {
    if (!progress.next(i, count, files[i])) {
      outcome.cancelled = true;
      return;
    }
    RecordingAlerts alerts;
    if (!open(*work, alerts, files[i])) {
      outcome.skipped.push_back({files[i], failureText(alerts)});
      // A refused open may leave parts of the file behind; the next file starts clean.
      work = std::make_unique<Session>(current);
    } else if (!each(*work, alerts, files[i])) {
      outcome.cancelled = true;
      ++outcome.done;
      return;
    }
    ++outcome.done;
  }
  progress.next(count, count, {});
}

}  // namespace

std::string AutoCopyResult::clipText() const {
  TextTable table;
  for (const auto& row : rows) table.emplace_back(row.begin(), row.end());
  return ClipText(table);
}

AutoCopyResult AutoCopy(const Session& current, const std::vector<std::string>& files,
                        const TrialOpener& open, BatchProgress& progress) {
  AutoCopyResult result;
  RepetitionAnalyzer analyzer;
  runOver(current, files, open, progress, result,
          [&](Session& s, Alerts& alerts, const std::string& path) {
            const std::string name = std::filesystem::path(path).filename().string();
            AutoCopyRow row;
            row[0] = upperPrefix(name, 2);
            row[1] = upperPrefix(s.Stroke, 2);
            row[2] = name.size() > 2 ? name.substr(2) : std::string();
            s.analysis.AnalysisMode = 1;
            RecomputeAnalysis(s, analyzer, alerts);
            const auto impulse = s.analysis.grids.means[3];
            for (int c = 0; c < 3; ++c) {
              row[3 + c] = impulse[c];
              row[6 + c] = impulse[4 + c];
            }
            s.analysis.AnalysisMode = 0;
            RecomputeAnalysis(s, analyzer, alerts);
            const auto peak = s.analysis.grids.means[3];
            row[9] = peak[1];
            row[10] = peak[5];
            const SwimMetrics& m = s.analysis.swim;
            row[11] = Str(s.TrialSeconds);
            row[12] = Str(m.VelocityYards);
            row[13] = Str(m.StrokeRate);
            row[14] = Str(m.StrokeLengthYards);
            row[15] = Str(static_cast<long long>(m.StrokeCount));
            row[16] = s.ClientHeight;
            row[17] = s.ClientWeight;
            row[18] = Str(m.DragCoefficient);
            row[19] = Str(m.VelocityFluctuation);
            result.rows.push_back(std::move(row));
            return true;
          });
  return result;
}

AutoPrintResult AutoPrint(const Session& current, const std::vector<std::string>& files,
                          const TrialOpener& open, BatchProgress& progress,
                          const std::function<bool(const ReportDocument&)>& print) {
  AutoPrintResult result;
  RepetitionAnalyzer analyzer;
  runOver(current, files, open, progress, result,
          [&](Session& s, Alerts& alerts, const std::string& path) {
            RecomputeAnalysis(s, analyzer, alerts);
            if (!print(PerformanceReport(s, FileDateText(path)))) return false;
            ++result.printed;
            return true;
          });
  return result;
}

std::string SkippedFilesText(const BatchOutcome& outcome) {
  if (outcome.skipped.empty()) return {};
  std::string text = std::to_string(outcome.skipped.size()) +
                     (outcome.skipped.size() == 1 ? " file was skipped:" : " files were skipped:");
  for (const BatchFailure& f : outcome.skipped) {
    std::string reason = WithLineFeeds(f.reason);
    std::replace(reason.begin(), reason.end(), '\n', ' ');
    text += std::string(CrLf) + std::filesystem::path(f.file).filename().string() + ": " + reason;
  }
  return text;
}

std::vector<std::string> DataFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string ext = it->path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".dat" && it->is_regular_file(ec)) files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace tidemet
