#include "app/analysis/clip_texts.h"

#include <algorithm>

namespace tidemet {
namespace {

TextTable tableOf(const std::vector<GridRow>& grid, const std::vector<int>& rows) {
  TextTable table;
  table.reserve(rows.size());
  for (int r : rows) table.emplace_back(grid[r].begin(), grid[r].end());
  return table;
}

}  // namespace

std::string GridClipText(const std::vector<GridRow>& grid) {
  std::vector<int> rows(grid.size());
  for (size_t r = 0; r < grid.size(); ++r) rows[r] = static_cast<int>(r);
  return ClipText(tableOf(grid, rows));
}

std::string SelectedRowsClipText(const std::vector<GridRow>& grid, std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [&](int r) { return r < 0 || r >= static_cast<int>(grid.size()); });
  return ClipText(tableOf(grid, rows));
}

std::string MeansClipText(const MeansGrid& means) {
  const auto& overall = means.cells[3];
  return ClipText(TextTable{std::vector<std::string>(overall.begin(), overall.end())});
}

std::string SampleClipText(const Session& s, bool smoothed) {
  return ClipText(SampleForceTable(s, smoothed));
}

}  // namespace tidemet
