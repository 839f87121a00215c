#include "app/analysis/swim_metrics.h"

#include <string_view>

#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

float r2(double v) { return static_cast<float>(RoundHundredths(v)); }

// Repetitions 0..lastRep of a column whose positive duration exceeds half the mean.
int countStrokes(const AnalysisResults& r, int durationColumn, int lastRep, float mean) {
  int count = 0;
  for (int j = 0; j <= lastRep && j < kSummaryRows; ++j)
    if (r.SummaryTable[j][durationColumn] > 0.5 * mean) ++count;
  return count;
}

}  // namespace

void UpdateSwimMetrics(Session& s, const PairDurationMeans& in) {
  AnalysisResults& r = s.analysis;
  SwimMetrics& m = r.swim;
  const std::string_view stroke = s.Stroke;
  const bool pairedStroke = stroke.starts_with("Br") || stroke.starts_with("Fl");

  const std::optional<float>* means[4] = {&in.p1, &in.n1, &in.p2, &in.n2};
  for (int i = 0; i < 4; ++i)
    if (*means[i]) m.DurationMeans[i] = **means[i];

  // Only columns whose mean was formed in this refresh are counted.
  int strokes = 0;
  if (in.p1) strokes = countStrokes(r, 1, in.firstReps, *in.p1);
  if (in.p2) {
    strokes += countStrokes(r, 9, in.secondReps, *in.p2);
    if (pairedStroke) strokes = static_cast<int>(RoundEven(strokes / 2.0));
  }
  if (in.p1 || in.p2) m.StrokeCount = static_cast<int16_t>(strokes);

  const float total = m.DurationMeans[0] + m.DurationMeans[1] + m.DurationMeans[2] +
                      m.DurationMeans[3];
  if (total / 2 > 0) m.StrokeRate = r2(2.0 / total);

  if (s.ExerciseMode != 3 || s.SwimDistance <= 0) {
    m.shown = false;
    m.line.clear();
    return;
  }
  if (s.TrialSeconds > 0) {
    const double perSecond = s.SwimDistance / static_cast<double>(s.TrialSeconds);
    if (s.RecordedUnitsFlag == 0) {
      m.VelocityYards = r2(perSecond);
      m.VelocityMetres = r2(m.VelocityYards * kMetresPerYard);
    } else {
      m.VelocityMetres = r2(perSecond);
      m.VelocityYards = r2(m.VelocityMetres * kYardsPerMetre);
    }
  }
  if (m.StrokeRate > 0) m.StrokeLengthYards = r2(m.VelocityYards / static_cast<double>(m.StrokeRate));

  const bool metric = s.UnitsFlag == 1;
  const double height = Val(s.ClientHeight);
  const double weight = Val(s.ClientWeight);
  const double h = metric ? RoundEven(height) : RoundEven(height * kCentimetresPerInch);
  const double w = metric ? RoundEven(weight) : RoundEven(weight / kPoundsPerKilogram);
  m.FrontalArea = ClampToInt16(3.5 * h + 6.93 * w - 377);

  m.PropulsiveForce = r.MeanHandForce[0] + r.MeanHandForce[1];
  if (!metric) m.PropulsiveForce = static_cast<float>(m.PropulsiveForce * kNewtonsPerPound);
  if (m.VelocityMetres > 0 && m.FrontalArea > 0) {
    const double v = m.VelocityMetres;
    m.DragCoefficient = static_cast<float>(m.PropulsiveForce / (0.05 * m.FrontalArea * v * v));
  }
  m.DragCoefficient = r2(m.DragCoefficient);
  m.VelocityMetres = r2(m.VelocityMetres);
  m.StrokeLengthMetres = r2(m.StrokeLengthYards * kMetresPerYard);
  m.StrokeRate = r2(m.StrokeRate);
  m.shown = true;
  m.line = SwimSummaryLine(m, metric);
}

std::string SwimSummaryLine(const SwimMetrics& m, bool metric) {
  const std::string ivf = Str(static_cast<long long>(ClampToInt16(m.VelocityFluctuation)));
  if (metric)
    return "SV = " + Str(m.VelocityMetres) + " m/sec, SR = " + Str(m.StrokeRate) +
           " cycles/sec, SL = " + Str(m.StrokeLengthMetres) + " m/cycle, Cd = " +
           Str(m.DragCoefficient) + ", IVF = " + ivf + "%";
  return "SV = " + Str(m.VelocityYards) + " yds/sec, SR = " + Str(m.StrokeRate) +
         " cycles/sec, SL = " + Str(m.StrokeLengthYards) + " yds/cycle, Cd = " +
         Str(m.DragCoefficient) + ", IVF = " + ivf + "%";
}

}  // namespace tidemet
