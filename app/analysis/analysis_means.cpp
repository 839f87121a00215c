#include "app/analysis/analysis_means.h"

#include <algorithm>

#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

// Floor((LastRep - 1) / 2): the last repetition of the first half.
int halfIndex(int lastRep) { return static_cast<int>(Floor((lastRep - 1) / 2.0)); }

std::optional<float> meanOf(const MeanColumn& c, int from, int to) {
  if (to < from || from < 0 || to >= kSummaryRows) return std::nullopt;
  double sum = 0;
  for (int j = from; j <= to; ++j) sum += c.scaled[j];
  return static_cast<float>(RoundEven(sum / (to - from + 1)) / c.scale);
}

}  // namespace

MeanColumn ScaleColumn(const AnalysisResults& r, int tableColumn, int lastRep, bool duration,
                       double unitFactor) {
  MeanColumn c;
  c.lastRep = std::min(lastRep, kSummaryRows - 1);
  c.scale = duration ? 100 : 10;
  for (int j = 0; j <= c.lastRep; ++j) {
    const double v = r.SummaryTable[j][tableColumn];
    c.scaled[j] = duration ? RoundEven(v * 100) : RoundEven(v * 10 * unitFactor);
  }
  return c;
}

std::optional<float> FirstHalfMean(const MeanColumn& c) {
  return meanOf(c, 1, halfIndex(c.lastRep));
}

std::optional<float> SecondHalfMean(const MeanColumn& c) {
  return meanOf(c, halfIndex(c.lastRep) + 1, c.lastRep - 1);
}

std::optional<float> OverallMean(const MeanColumn& c) { return meanOf(c, 1, c.lastRep - 1); }

std::optional<double> PercentChange(std::optional<float> firstHalf, std::optional<float> secondHalf) {
  if (!firstHalf || !secondHalf || !(*firstHalf > 0)) return std::nullopt;
  return RoundEven((static_cast<double>(*secondHalf) - *firstHalf) / *firstHalf * 100);
}

std::string PercentChangeText(double percent, bool duration) {
  std::string text = (percent > 0 ? "+" : "") + NumText(percent);
  return text + (duration ? "   " : "  ");
}

std::string GridValueText(float value, bool duration) {
  std::string text = NumText(value);
  const auto point = text.find('.');
  if (point == std::string::npos) return text + (duration ? ".00" : ".0");
  if (duration && text.size() - point == 2) text += "0";
  return text;
}

std::array<std::string, 4> MeanRowLabels(bool present, int mostReps, int firstReps, int secondReps) {
  const bool named = present && mostReps > 2 &&
                     (firstReps == secondReps || firstReps < 3 || secondReps < 3);
  if (!named) return {"1st Half", "2nd Half", "% Change", "Overall"};
  const int h = halfIndex(mostReps);
  const int m = mostReps - 1;
  const std::string hs = NumText(static_cast<long long>(h));
  const std::string ms = NumText(static_cast<long long>(m));
  return {"Reps 1-" + hs, "Reps " + NumText(static_cast<long long>(h + 1)) + "-" + ms, "% Change",
          "Reps 1-" + ms};
}

}  // namespace tidemet
