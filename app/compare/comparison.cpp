#include "app/compare/comparison.h"

#include <algorithm>
#include <filesystem>

#include "app/files/safe_file.h"
#include "app/files/summary_file_format.h"
#include "app/files/trial_file.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

constexpr std::string_view kV1SA = "Tidemet V1SA";
constexpr const char* kUnreadDate = "(unread)";

// What the summary reader asks while a comparison file is read: opening into the comparison,
// with the files already listed (none while the listed files are read again, whose checks
// passed when they were added).
class ReadingSeam : public ComparisonSeam, public SummaryComparison {
 public:
  ReadingSeam(int files, bool firstV1SA) : files_(files), firstV1SA_(firstV1SA) {}
  int fileCount() const override { return files_; }
  void clear() override {}
  bool openingIntoComparison() const override { return true; }
  bool firstFileIsV1SA() const override { return firstV1SA_; }

 private:
  int files_;
  bool firstV1SA_;
};

// A comparison file never changes the client list: its client is checked, not selected.
class NoClients : public ClientListSeam {
 public:
  int count() const override { return 0; }
  std::string entry(int) const override { return {}; }
  void setEntry(int, const std::string&) override {}
  int selected() const override { return -1; }
  void select(int) override {}
  void convertUnits(bool) override {}
};

// Files read again after a setting change show no boxes: their rows tell what was read.
class QuietAlerts : public Alerts {
 public:
  AlertAnswer show(const Alert&) override { return AlertAnswer::Ok; }
};

// The analysis mode, units and pair of the program's session, which the comparison shares with
// the analysis window.
void takeSharedSettings(Session& into, const Session& shared) {
  into.analysis.AnalysisMode = shared.analysis.AnalysisMode;
  if (into.UnitsFlag != shared.UnitsFlag) {
    into.UnitsFlag = shared.UnitsFlag;
    ApplyUnitLabels(into.labels, shared.UnitsFlag == 1);
  }
  SetPair(into, shared.PairStartChannel / 2);
}

std::string upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool endsWith(const std::string& text, std::string_view tail) {
  return text.size() >= tail.size() &&
         text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The means grid row of each kind: first half, second half, percent change, overall.
int meansRowOf(int kind) {
  return kind == kFirstHalfMeans    ? 0
         : kind == kSecondHalfMeans ? 1
         : kind == kPercentChange   ? 2
                                    : 3;
}

}  // namespace

std::string MeanKindCaption(int kind) {
  switch (kind) {
    case kFirstHalfMeans:
      return "1st Half";
    case kSecondHalfMeans:
      return "2nd Half";
    case kPercentChange:
      return "% Change";
    default:
      return "Overall";
  }
}

std::string ComparisonDateText(const std::string& dateTime) {
  const size_t blank = dateTime.find(' ');
  if (blank == std::string::npos) return dateTime.substr(0, 10);
  return dateTime.substr(0, blank + 1 + 8);
}

std::string FileDateTimeText(const std::string& path) {
  return FileWrittenText(path, "%m/%d/%Y %H:%M:%S");
}

Comparison::Comparison(DateOf dateOf) : dateOf_(std::move(dateOf)) {}
Comparison::~Comparison() = default;

void Comparison::notify() {
  if (changed_) changed_();
}

void Comparison::clear() {
  rows_.clear();
  base_.reset();
  current_.reset();
  notify();
}

bool Comparison::roomForAnother(Alerts& alerts) const {
  if (fileCount() < kMaxComparisonFiles) return true;
  alerts.show({std::string(AppTitle), "A maximum of 15 files can be displayed.",
               AlertIcon::Exclamation, AlertButtons::Ok});
  return false;
}

bool Comparison::read(Session& into, Alerts& alerts, const std::string& path, bool checked) {
  std::string why;
  const auto bytes = ReadWholeFile(path, kLargestSummaryFileBytes, &why);
  if (!bytes) {
    alerts.show(DamagedFileAlert(UpperPath(path), why));
    return false;
  }
  ReadingSeam seam(checked ? fileCount() : 0, firstFileIsV1SA());
  NoClients clients;
  NoSummaryFile summary;
  TrialFileContext ctx{alerts, clients, seam, summary};
  return OpenSummaryBytes(into, ctx, path, *bytes, &seam);
}

ComparisonRow Comparison::rowOf(const Session& read, const std::string& path) const {
  ComparisonRow row;
  row.path = path;
  row.name = upper(std::filesystem::path(path).filename().string());
  row.date = ComparisonDateText(dateOf_ ? dateOf_(path) : std::string());
  row.v1sa = read.DataVersionTag == kV1SA;
  const MeansGrid means = MeansGridOf(read);
  const auto reps = ShownRepetitionCounts(read);
  const auto& kindRow = means.cells[meansRowOf(meanKind_)];
  // A column with fewer than four repetitions (last index below 3) shows nothing.
  for (int k = 0; k < 8; ++k)
    if (reps[k < 4 ? 0 : 1] >= 3) row.cells[k] = kindRow[k];
  return row;
}

bool Comparison::add(const Session& shared, Alerts& alerts, const std::string& path) {
  if (!roomForAnother(alerts)) return false;
  if (endsWith(upper(path), "DAT")) {
    alerts.show({std::string(AppTitle), "Only SUM files can be opened in the Comparison window.",
                 AlertIcon::Exclamation, AlertButtons::Ok});
    return false;
  }
  // The first file is read against the program's session; later ones against what the files
  // before them set up (client, limb, joints, pair), as their checks require.
  auto reading = std::make_unique<Session>(current_ ? *current_ : shared);
  takeSharedSettings(*reading, shared);
  // Two-channel files bring their own pair, which every later one must share.
  if (current_ && current_->ChannelCount == 2) SetPair(*reading, current_->PairStartChannel / 2);
  if (!read(*reading, alerts, path, true)) return false;
  if (!base_) base_ = std::make_unique<Session>(shared);
  rows_.push_back(rowOf(*reading, path));
  current_ = std::move(reading);
  notify();
  return true;
}

void Comparison::remove(int index) {
  if (index < 0 || index >= fileCount()) return;
  rows_.erase(rows_.begin() + index);
  if (rows_.empty()) {
    clear();
    return;
  }
  notify();
}

void Comparison::rebuild(const Session& shared) {
  if (rows_.empty() || !base_) return;
  QuietAlerts quiet;
  auto reading = std::make_unique<Session>();
  for (ComparisonRow& row : rows_) {
    // Each file is read afresh from the session the comparison started with, so one file's
    // pair or set-up never leaks into the next one's row.
    *reading = *base_;
    takeSharedSettings(*reading, shared);
    if (read(*reading, quiet, row.path, false)) {
      row = rowOf(*reading, row.path);
      *current_ = *reading;
    } else {
      row.cells = {};
      row.date = kUnreadDate;
      row.read = false;
    }
  }
  notify();
}

void Comparison::setMeanKind(const Session& shared, int kind) {
  if (kind < kFirstHalfMeans || kind > kOverallMeans) return;
  meanKind_ = kind;
  rebuild(shared);
}

std::vector<ComparisonGridRow> Comparison::grid() const {
  std::vector<ComparisonGridRow> out;
  out.reserve(rows_.size());
  for (size_t r = 0; r < rows_.size(); ++r) {
    ComparisonGridRow g;
    g[0] = std::to_string(r + 1);
    g[1] = rows_[r].name;
    g[2] = rows_[r].date;
    std::copy(rows_[r].cells.begin(), rows_[r].cells.end(), g.begin() + 3);
    out.push_back(std::move(g));
  }
  return out;
}

Session Comparison::setup(const Session& shared) const {
  Session s = current_ ? *current_ : shared;
  takeSharedSettings(s, shared);
  if (current_) {
    // The files' client, not whoever is current in the client window.
    if (!current_->DataClientName.empty()) s.ClientName = current_->DataClientName;
    if (current_->ChannelCount == 2) SetPair(s, current_->PairStartChannel / 2);
  }
  return s;
}

ComparisonGridRow Comparison::columnTitles(const Session& shared) const {
  const auto titles = GridColumnTitles(setup(shared));
  ComparisonGridRow out{"", "File", "Date"};
  std::copy(titles.begin() + 1, titles.end(), out.begin() + 3);
  return out;
}

std::string Comparison::clipText(const Session& shared) const {
  TextTable table;
  // One line per title: the clipboard has no second header line.
  ComparisonGridRow titles = columnTitles(shared);
  for (std::string& t : titles) std::replace(t.begin(), t.end(), '\n', ' ');
  table.emplace_back(titles.begin(), titles.end());
  for (const ComparisonGridRow& row : grid()) table.emplace_back(row.begin(), row.end());
  return ClipText(table);
}

ReportDocument Comparison::report(const Session& shared) const {
  std::vector<GridRow> rows;
  for (const ComparisonRow& r : rows_) {
    GridRow g;
    // The printed date column is eight characters wide: the date alone, with a two-digit year.
    const std::string& d = r.date;
    g[0] = d.size() >= 10 && d[2] == '/' && d[5] == '/' ? d.substr(0, 6) + d.substr(8, 2)
                                                        : d.substr(0, 8);
    std::copy(r.cells.begin(), r.cells.end(), g.begin() + 1);
    rows.push_back(std::move(g));
  }
  return ComparisonReport(setup(shared), MeanKindCaption(meanKind_), rows);
}

}  // namespace tidemet
