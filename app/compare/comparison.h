#pragma once
// The comparison: up to 15 summary files of one client side by side, one row per file with one
// kind of mean of each of the eight values of the analysis grid. The files are read into a
// session of the comparison's own, so adding a file never replaces the trial in memory; the
// shared settings (analysis mode, units, pair) are taken from the program's session at each read.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/analysis/analysis_grids.h"
#include "app/analysis/performance_report.h"
#include "app/analysis/report_layout.h"
#include "app/analysis/sample_export.h"
#include "app/files/summary_file.h"
#include "app/files/trial_seams.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

inline constexpr int kMaxComparisonFiles = 15;

// CompMeanKind values.
enum MeanKind : int {
  kFirstHalfMeans = 1,
  kSecondHalfMeans = 2,
  kPercentChange = 3,
  kOverallMeans = 4
};

// "1st Half", "2nd Half", "% Change" or "Overall".
std::string MeanKindCaption(int kind);

// The date column of a row cut from the platform's date-and-time text: up to eight characters
// after the first blank, or the first ten characters when there is no blank.
std::string ComparisonDateText(const std::string& dateTime);

// A file's modification time as "MM/DD/YYYY hh:mm:ss" (empty when it cannot be read).
std::string FileDateTimeText(const std::string& path);

struct ComparisonRow {
  std::string path;                    // as chosen, for reading again
  std::string name;                    // the file name without its folder, upper case
  std::string date;                    // the date column
  std::array<std::string, 8> cells{};  // grid columns 1..8 of the analysis layout
  bool read = true;   // false when the last reading failed (the file went missing or changed)
  bool v1sa = false;  // a "Tidemet V1SA" summary
};

// The grid as shown: the row number, the name, the date and the eight values.
using ComparisonGridRow = std::array<std::string, 11>;

class Comparison : public ComparisonSeam, public SummaryComparison {
 public:
  using DateOf = std::function<std::string(const std::string& path)>;
  explicit Comparison(DateOf dateOf = FileDateTimeText);
  ~Comparison() override;

  // The seams the trial files ask: a data file of another client, pair or limb clears it.
  int fileCount() const override { return static_cast<int>(rows_.size()); }
  void clear() override;
  bool openingIntoComparison() const override { return false; }
  bool firstFileIsV1SA() const override { return !rows_.empty() && rows_.front().v1sa; }

  // Whether another file may be added; shows the maximum message when not.
  bool roomForAnother(Alerts& alerts) const;
  // Adds the summary at `path` and fills its row; a refusal is shown through `alerts` and
  // leaves the comparison as it was.
  bool add(const Session& shared, Alerts& alerts, const std::string& path);
  // Removes row `index` (0-based); the rows below move up.
  void remove(int index);
  // Reads every listed file again in list order with the shared settings and refills its row.
  void rebuild(const Session& shared);

  int meanKind() const { return meanKind_; }
  // Sets CompMeanKind (1..4) and rebuilds.
  void setMeanKind(const Session& shared, int kind);

  const std::vector<ComparisonRow>& rows() const { return rows_; }
  std::vector<ComparisonGridRow> grid() const;
  // The column titles over the grid, for the settings of `shared` (the value columns' units on
  // a second line).
  ComparisonGridRow columnTitles(const Session& shared) const;
  // Copy report: the titles and every row, cells separated by tabs, rows ended by carriage
  // returns.
  std::string clipText(const Session& shared) const;
  // The comparison report pages.
  ReportDocument report(const Session& shared) const;
  // The set-up the compared files share (client, pair label, phase names) with the shared
  // settings applied; the program's session while the comparison is empty.
  Session setup(const Session& shared) const;

  // Called after every change of the list or its rows.
  void setChangeListener(std::function<void()> listener) { changed_ = std::move(listener); }

 private:
  bool read(Session& into, Alerts& alerts, const std::string& path, bool checked);
  ComparisonRow rowOf(const Session& read, const std::string& path) const;
  void notify();

  DateOf dateOf_;
  std::vector<ComparisonRow> rows_;
  int meanKind_ = kOverallMeans;
  // The program's session when the first file was added, and the session after the last read.
  std::unique_ptr<Session> base_;
  std::unique_ptr<Session> current_;
  std::function<void()> changed_;
};

}  // namespace tidemet
