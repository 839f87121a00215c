#include "app/analysis/performance_report.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "app/session/text.h"

namespace tidemet {
namespace {

// Value columns of each side of the pair start at these print columns; cells are this wide.
constexpr int kCellWidth = 6;
constexpr int kFirstCellWidth = 4;
int cellColumn(int g) { return 9 * g + 1; }

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string fileNameOf(const std::string& path) {
  if (path.empty()) return "(untitled)";
  return std::filesystem::path(path).filename().string();
}

// The short names of the two phases for the joint action.
std::array<const char*, 2> phaseWords(const Session& s) {
  switch (s.JointAction) {
    case 1:
      return {"Flex", "Ext"};
    case 2:
      return {"Adduct", "Abduct"};
    default:
      return {"Pos", "Neg"};
  }
}

std::vector<std::string> gridRowLines(const GridRow& row) {
  ReportLines out;
  out.tab(1, ReportCell(row[0], kFirstCellWidth));
  for (int g = 1; g <= 8; ++g) out.tab(cellColumn(g), ReportCell(row[g], kCellWidth));
  return out.take();
}

std::vector<std::string> commentLines(const Session& s) {
  ReportLines out;
  out.blank(2).text("Comments:").end().blank();
  std::vector<std::string> lines = out.take();
  if (!s.Comments.empty())
    for (auto& line : WrapAtBlanks(s.Comments, kCommentColumns)) lines.push_back(std::move(line));
  return lines;
}

std::vector<std::string> swimLines(const SwimMetrics& m) {
  ReportLines out;
  out.blank();
  out.text("Swimming Velocity = " + NumText(m.VelocityYards) + " yds/sec").end();
  out.text("Stroke Rate = " + NumText(m.StrokeRate) + " strokes/sec").end();
  out.text("Stroke Length = " + NumText(m.StrokeLengthYards) + " yds/stroke").end();
  out.text("Stroke Count = " + NumText(static_cast<long long>(m.StrokeCount)) + " strokes").end();
  return out.take();
}

}  // namespace

ReportHeading SessionReportHeading(const Session& s, std::string title) {
  ReportHeading h;
  h.title = std::move(title);
  h.trademark = kReportTrademarkLine;
  h.institution = s.InstitutionLines;
  return h;
}

std::vector<std::string> ReportColumnHeadings(const Session& s,
                                              const std::array<std::string, 3>& firstCell) {
  const std::string modeWord = ModeShortWord(s);
  const auto phases = phaseWords(s);
  const std::string forceUnit = "(" + ModeUnitWord(s) + ")";
  const int channels[2] = {s.PairStartChannel + 1, s.PairSecondChannel + 1};
  const char* sides[2] = {"Left", "Right"};
  ReportLines out;
  // Each side's title is centred over its four value columns (print columns 10..42, 46..78).
  for (int side = 0; side < 2; ++side) {
    std::string title = (s.PairLabel.empty() ? std::string() : s.PairLabel + "/ ") + sides[side] +
                        " Channel " + std::to_string(channels[side]);
    const int spanStart = cellColumn(1 + 4 * side);
    const int span = cellColumn(4 + 4 * side) + kCellWidth - spanStart;
    out.tab(spanStart + std::max(0, (span - static_cast<int>(title.size())) / 2), title);
  }
  out.end();
  out.tab(11, std::string(31, '-')).tab(47, std::string(31, '-')).end();
  for (int side = 0; side < 2; ++side) {
    const std::string stroke = s.Stroke.empty() ? std::string() : s.Stroke + " ";
    out.tab(19 + 36 * side, stroke + phases[0]);
    out.tab(37 + 36 * side, stroke + phases[1]);
  }
  out.end();
  out.tab(1, firstCell[0]);
  for (int g = 1; g <= 8; ++g) out.tab(cellColumn(g), g % 2 == 1 ? std::string("Time") : modeWord);
  out.end();
  out.tab(1, firstCell[1]);
  for (int g = 1; g <= 8; ++g) out.tab(cellColumn(g), g % 2 == 1 ? "(sec)" : forceUnit);
  out.end();
  out.tab(1, firstCell[2]);
  for (int g = 1; g <= 8; ++g) out.tab(cellColumn(g), std::string(kCellWidth, '-'));
  return out.take();
}

std::vector<std::string> ReportMeansLines(const MeansGrid& means) {
  // Printed order: first half, second half, overall, change.
  constexpr int kOrder[4] = {0, 1, 3, 2};
  constexpr const char* kNames[4] = {"1stHalf", "2ndHalf", "%Change", "Overall"};
  ReportLines out;
  out.blank();
  for (int row : kOrder) {
    std::string label = kNames[row];
    const std::string& shown = means.labels[row];
    if (shown.rfind("Reps ", 0) == 0) label += " " + shown.substr(5);
    out.tab(1, label);
    for (int g = 1; g <= 8; ++g)
      out.tab(cellColumn(g), ReportCell(means.cells[row][g - 1], kCellWidth));
    out.end();
  }
  return out.take();
}

ReportDocument PerformanceReport(const Session& s, const std::string& fileDate) {
  const ReportHeading heading = SessionReportHeading(s, "Performance Report");
  const std::string client = s.DataClientName.empty() ? s.ClientName : s.DataClientName;
  const std::string file = upper(fileNameOf(s.CurrentFileName));
  const std::vector<std::string> columns = ReportColumnHeadings(s, {"Rep", "Number", "------"});
  ReportPager pager([&](int page) {
    std::vector<std::string> lines = ReportTitleBlock(heading);
    ReportLines out;
    out.text("Client: " + client).tab(60, "Page: " + std::to_string(page)).end();
    out.text("Filename: " + file).tab(60, "File date: " + fileDate).end();
    out.text("Trial time:" + Str(s.TrialSeconds) + " sec").end().blank();
    for (auto& line : out.take()) lines.push_back(std::move(line));
    lines.insert(lines.end(), columns.begin(), columns.end());
    return lines;
  });

  const std::vector<GridRow> rows = RepetitionGrid(s);
  for (size_t first = 0; first < rows.size(); first += kReportRowsPerPage) {
    pager.newPage();
    std::vector<std::string> lines;
    const size_t last = std::min(rows.size(), first + kReportRowsPerPage);
    for (size_t r = first; r < last; ++r)
      for (auto& line : gridRowLines(rows[r])) lines.push_back(std::move(line));
    pager.add(lines);
  }
  pager.add(ReportMeansLines(MeansGridOf(s)));
  if (s.analysis.swim.shown) pager.add(swimLines(s.analysis.swim));
  pager.add(commentLines(s));
  return pager.take();
}

ReportDocument ComparisonReport(const Session& s, const std::string& meansKind,
                                const std::vector<GridRow>& rows) {
  const ReportHeading heading = SessionReportHeading(s, "Comparison Report");
  const std::vector<std::string> columns = ReportColumnHeadings(s, {"", "  Date   ", "--------"});
  ReportPager pager([&](int page) {
    std::vector<std::string> lines = ReportTitleBlock(heading);
    ReportLines out;
    out.text("Client: " + s.ClientName).tab(70, "Page: " + std::to_string(page)).end();
    out.text("Means: " + meansKind).end().blank();
    for (auto& line : out.take()) lines.push_back(std::move(line));
    lines.insert(lines.end(), columns.begin(), columns.end());
    return lines;
  });
  pager.newPage();
  for (size_t first = 0; first < rows.size(); first += kReportRowsPerPage) {
    if (first > 0) pager.newPage();
    std::vector<std::string> lines;
    const size_t last = std::min(rows.size(), first + kReportRowsPerPage);
    for (size_t r = first; r < last; ++r)
      for (auto& line : gridRowLines(rows[r])) lines.push_back(std::move(line));
    pager.add(lines);
  }
  return pager.take();
}

std::string FileDateText(const std::string& path) { return FileWrittenText(path, "%m-%d-%Y"); }

std::string FileWrittenText(const std::string& path, const char* format) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(path, ec);
  if (ec) return {};
  const std::time_t t =
      std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
  std::tm local{};
  if (!localtime_r(&t, &local)) return {};
  char text[64];
  if (std::strftime(text, sizeof text, format, &local) == 0) return {};
  return text;
}

}  // namespace tidemet
