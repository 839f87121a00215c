#pragma once
// Printed reports as pages of text lines laid out at print columns (counted from 1) for a
// fixed-pitch font. The window layer only draws the lines; everything a reader checks on paper
// is decided here.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemet {

inline constexpr int kReportColumns = 90;      // widest line a page holds
inline constexpr int kReportPageLines = 80;    // lines a page holds
inline constexpr int kReportRowsPerPage = 36;  // repetition rows per page
inline constexpr int kCommentColumns = 78;     // comments are broken into lines this wide

struct ReportPage {
  std::vector<std::string> lines;
};

struct ReportDocument {
  std::vector<ReportPage> pages;
};

// Builds lines the way the printer places text: Tab(column) moves to a print column of the
// current line, or to that column of a new line when the line already reaches past it.
class ReportLines {
 public:
  ReportLines& tab(int column, std::string_view text = {});
  ReportLines& text(std::string_view text);
  ReportLines& end();  // ends the current line (an empty line when nothing was placed)
  ReportLines& blank(int count = 1);

  std::vector<std::string> take();

 private:
  std::vector<std::string> lines_;
  std::string current_;
  bool open_ = false;
};

// What the heading of every page of a report shows besides the page's own items.
struct ReportHeading {
  std::string title;                         // "Performance Report" or "Comparison Report"
  std::string trademark;                     // printed under the title
  std::array<std::string, 6> institution{};  // name, street, city, state, postal code, phone
};

// The heading lines common to both reports, down to the institution block.
std::vector<std::string> ReportTitleBlock(const ReportHeading& h);

// `text` broken into lines of at most `width` characters at blanks; a word longer than a line is
// cut. Line breaks in the text start new lines.
std::vector<std::string> WrapAtBlanks(std::string_view text, int width);

// A cell left-trimmed and right-aligned in `width` characters (a longer cell stays whole).
std::string ReportCell(std::string_view cell, int width);

// Lays out body lines after a per-page heading: each body block is kept whole on a page when it
// fits; lines that overflow a page continue on the next, under its heading.
class ReportPager {
 public:
  // The heading lines of page `page` (counted from 1).
  using Heading = std::function<std::vector<std::string>(int page)>;
  explicit ReportPager(Heading heading) : heading_(std::move(heading)) {}
  void newPage();
  // Lines that belong together: moved whole to a fresh page when they do not fit on this one
  // but would fit there; otherwise split where the page ends.
  void add(const std::vector<std::string>& lines);
  ReportDocument take();

 private:
  int room() const;
  Heading heading_;
  ReportDocument doc_;
};

// All pages as plain text: pages separated by a form feed, lines by line feeds.
std::string ReportPlainText(const ReportDocument& doc);

}  // namespace tidemet
