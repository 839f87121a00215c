// tidemet-cli simulate: a demo recording made through the monitor's own sampling code on a
// virtual clock, saved as a data file with its summary.
#include "cli_commands.h"
#include "app/acquisition/simulated_recording.h"
#include "app/analysis/recompute_analysis.h"
#include "app/files/trial_workspace.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/session/units.h"

namespace tidemet::cli {

int RunSimulate(const CliOptions& o, std::ostream& out, std::ostream& err) {
  if (!mayReplace(o, *o.out, err)) return 1;
  TrialWorkspace w;
  if (auto error = w.load(o.workingFolder ? std::optional<std::filesystem::path>(*o.workingFolder)
                                          : std::nullopt)) {
    err << "tidemet-cli: " << error.text << "\n";
    return 1;
  }
  Session& s = *w.session;
  s.ChannelCount = static_cast<int16_t>(o.channels.value_or(2));
  // Every pair takes its segment's area from the current client, as "Type A or B auto" does, so
  // the forces of the trial and of its summary are those of a real body.
  ComputeSegmentAreas(s);
  for (int pair = 3; pair >= 0; --pair) {
    SetPair(s, pair);
    ApplyTypeItem(s, TypeItem::AorBAuto);
  }
  DemoParameters p;
  if (o.seed) p.seed = *o.seed;
  if (o.strokeRate) p.strokeRate = *o.strokeRate;
  const SimulatedRecordingResult result = RecordSimulatedTrial(s, w.alerts, *o.seconds, p);
  // The summary's header carries the analysis of the current pair, as a save in the program.
  RecomputeAnalysis(s, w.analyzer, w.alerts);
  w.alerts.shown.clear();
  if (!w.save(*o.out)) {
    for (const Alert& a : w.alerts.shown) err << WithLineFeeds(a.text) << "\n";
    return 1;
  }
  const AnalysisResults& r = s.analysis;
  out << "recorded " << result.ticks << " readings (" << s.SampleCount << " samples per channel, "
      << s.TrialSeconds << " s) into " << *o.out << "; the analysis finds " << r.FirstPairReps << " and "
      << r.SecondPairReps << " repetitions on channels " << s.PairStartChannel + 1 << " and "
      << s.PairSecondChannel + 1 << "\n";
  // A trial too short for one whole stroke says so rather than leave an empty summary unexplained.
  if (r.FirstPairReps <= 0 && r.SecondPairReps <= 0)
    err << "tidemet-cli: the analysis finds no repetitions in this trial\n";
  return 0;
}

}  // namespace tidemet::cli
