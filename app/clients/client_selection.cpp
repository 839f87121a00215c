#include "app/clients/client_selection.h"

#include "app/analysis/recompute_analysis.h"
#include "app/files/client_entry.h"
#include "app/session/text.h"
#include "app/session/units.h"

namespace tidemet {

bool ClientClickAllowed(const Session& s, const ClientListSeam& list) {
  return s.OpenedFromFile == 0 || FindClient(list, s.DataClientName) < 0;
}

void TakeSelectedClient(Session& s, ClientListSeam& list) {
  if (list.count() == 0) return;
  if (list.selected() < 0) list.select(0);
  const std::string entry = list.entry(list.selected());
  const std::string trialClient = s.DataClientName;
  TakeClientFromEntry(s, entry);
  s.DataClientName = trialClient;
  ComputeSegmentAreas(s);
}

bool ClickClient(Session& s, ClientListSeam& list, int index) {
  if (index < 0 || index >= list.count() || !ClientClickAllowed(s, list)) return false;
  list.select(index);
  TakeSelectedClient(s, list);
  return true;
}

void ClearTrial(Session& s, ComparisonSeam& comparison) {
  if (comparison.fileCount() > 0) comparison.clear();
  s.TrialData.fill(0);
  s.SampleIndex = 0;
  s.SampleCount = 0;
  AnalysisResults& a = s.analysis;
  a.clearSummaryTable();
  a.LastRep = -1;
  a.FirstPairReps = a.SecondPairReps = a.MostReps = 0;
  for (MarkerArray* marks :
       {&a.RepStartMarks, &a.RepPosEndMarks, &a.RepNegEndMarks, &a.RepPeakMarks})
    *marks = MarkerArray{};
  a.SummaryHasResults = false;
  s.CurrentFileName.clear();
  s.TrialSeconds = 0.0f;
  s.Comments.clear();
  s.OpenedFromFile = 0;
}

bool LeaveForDataWindow(Session& s, ClientListSeam& list, LeaveContext& ctx) {
  const bool protectedTrial = !ClientClickAllowed(s, list);
  if (!protectedTrial) TakeSelectedClient(s, list);
  const bool otherClient = !protectedTrial && s.ClientName != s.DataClientName;
  if (otherClient) {
    ClearTrial(s, ctx.comparison);
    s.DataClientName = s.ClientName;
    RecomputeAnalysis(s, ctx.analyzer, ctx.alerts);
  }
  if (ctx.saveLists) ctx.saveLists();
  return otherClient;
}

std::optional<Alert> ClientNotListedAlert(const Session& s, const ClientListSeam& list) {
  if (s.OpenedFromFile == 0 || FindClient(list, s.FileClientName) >= 0) return std::nullopt;
  return Alert{std::string(AppTitle),
               JoinLines({"Client: " + s.FileClientName + " is not in the client database.",
                          "Client must be in the database to monitor.",
                          "Go to the Client window and add the client or select another client."}),
               AlertIcon::Exclamation, AlertButtons::Ok};
}

bool ConfirmClientListed(const Session& s, const ClientListSeam& list, Alerts& alerts) {
  auto alert = ClientNotListedAlert(s, list);
  if (alert) alerts.show(*alert);
  return !alert;
}

}  // namespace tidemet
