#include "app/analysis/report_layout.h"

#include <algorithm>

namespace tidemet {

ReportLines& ReportLines::tab(int column, std::string_view text) {
  const size_t at = static_cast<size_t>(std::max(column, 1) - 1);
  if (open_ && current_.size() > at) end();
  open_ = true;
  if (current_.size() < at) current_.append(at - current_.size(), ' ');
  current_ += text;
  return *this;
}

ReportLines& ReportLines::text(std::string_view text) {
  open_ = true;
  current_ += text;
  return *this;
}

ReportLines& ReportLines::end() {
  // Blank cells at the end of a row leave nothing to print.
  current_.erase(current_.find_last_not_of(' ') + 1);
  lines_.push_back(std::move(current_));
  current_.clear();
  open_ = false;
  return *this;
}

ReportLines& ReportLines::blank(int count) {
  if (open_) end();
  for (int i = 0; i < count; ++i) lines_.emplace_back();
  return *this;
}

std::vector<std::string> ReportLines::take() {
  if (open_) end();
  return std::move(lines_);
}

std::vector<std::string> ReportTitleBlock(const ReportHeading& h) {
  const auto& in = h.institution;
  ReportLines out;
  out.blank().tab(37, "TIDEMET").end().blank();
  out.tab(25, "Hydrodynamic Measurement System").end();
  out.tab(31, h.title).end().blank();
  out.tab(10, h.trademark).end().blank(2);
  out.text(in[0]).end();
  out.text(in[1]).end();
  // City, state and postal code; missing parts leave no stray comma or blank.
  std::string region = in[3];
  if (!in[4].empty()) region += (region.empty() ? "" : " ") + in[4];
  out.text(in[2] + (in[2].empty() || region.empty() ? "" : ", ") + region).end();
  out.text(in[5]).end();
  return out.take();
}

std::vector<std::string> WrapAtBlanks(std::string_view text, int width) {
  width = std::max(width, 1);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string_view::npos) stop = text.size();
    std::string_view para = text.substr(start, stop - start);
    // Every paragraph gives at least one line, so blank lines between paragraphs stay.
    std::string line;
    size_t pos = 0;
    bool any = false;
    while (pos < para.size()) {
      while (pos < para.size() && para[pos] == ' ') ++pos;
      if (pos >= para.size()) break;
      size_t wordEnd = para.find(' ', pos);
      if (wordEnd == std::string_view::npos) wordEnd = para.size();
      std::string_view word = para.substr(pos, wordEnd - pos);
      pos = wordEnd;
      while (!word.empty()) {
        const size_t need = line.empty() ? word.size() : line.size() + 1 + word.size();
        if (need <= static_cast<size_t>(width)) {
          if (!line.empty()) line += ' ';
          line += word;
          word = {};
        } else if (line.empty()) {
          line = word.substr(0, width);  // a word longer than a line is cut
          word.remove_prefix(width);
          lines.push_back(std::move(line));
          line.clear();
          any = true;
        } else {
          lines.push_back(std::move(line));
          line.clear();
          any = true;
        }
      }
    }
    if (!line.empty() || !any) lines.push_back(std::move(line));
    if (stop >= text.size()) break;
    // A CR LF pair is one break.
    start =
        stop + ((text[stop] == '\r' && stop + 1 < text.size() && text[stop + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

std::string ReportCell(std::string_view cell, int width) {
  const size_t first = cell.find_first_not_of(' ');
  cell = first == std::string_view::npos ? std::string_view{} : cell.substr(first);
  std::string out;
  if (cell.size() < static_cast<size_t>(width)) out.assign(width - cell.size(), ' ');
  out += cell;
  return out;
}

void ReportPager::newPage() {
  ReportPage page;
  page.lines = heading_(static_cast<int>(doc_.pages.size()) + 1);
  doc_.pages.push_back(std::move(page));
}

int ReportPager::room() const {
  if (doc_.pages.empty()) return 0;
  return kReportPageLines - static_cast<int>(doc_.pages.back().lines.size());
}

void ReportPager::add(const std::vector<std::string>& lines) {
  if (doc_.pages.empty()) newPage();
  const int needed = static_cast<int>(lines.size());
  if (needed > room()) {
    const int fresh = kReportPageLines - static_cast<int>(heading_(0).size());
    if (needed <= fresh) newPage();
  }
  for (const auto& line : lines) {
    if (room() <= 0) newPage();
    doc_.pages.back().lines.push_back(line);
  }
}

ReportDocument ReportPager::take() {
  if (doc_.pages.empty()) newPage();
  return std::move(doc_);
}

std::string ReportPlainText(const ReportDocument& doc) {
  std::string out;
  for (size_t p = 0; p < doc.pages.size(); ++p) {
    if (p > 0) out += '\f';
    for (const auto& line : doc.pages[p].lines) out += line + "\n";
  }
  return out;
}

}  // namespace tidemet
