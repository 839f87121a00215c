#pragma once
// Selecting the current client in the client window, leaving it for a Data window, and the
// check that the commands leading to a recording make first.
//
// The trial in memory belongs to `DataClientName`. A click only chooses the current client; the
// trial keeps its client until the window is left for a Data window, where a client other than
// the trial's clears the trial, so that one person's trial is never shown or saved under
// another person's name.

#include <functional>
#include <optional>

#include "app/analysis/repetition_analyzer.h"
#include "app/files/client_list.h"
#include "app/files/trial_seams.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// Whether a click may change the current client: not while a trial opened from a file is in
// memory, unless that file's client is missing from the list (leaving then puts the trial away).
bool ClientClickAllowed(const Session& s, const ClientListSeam& list);

// A click on entry `index`: selects it and makes it the current client (name, code, height,
// weight, segment areas). Returns false and changes nothing when the click is not allowed.
bool ClickClient(Session& s, ClientListSeam& list, int index);

// The current client from the selected entry (entry 0 when none is selected).
void TakeSelectedClient(Session& s, ClientListSeam& list);

// Empties the trial in memory: the comparison's files, the samples, the repetition results, the
// file name, the trial time and the comments. What is left is no longer a trial from a file.
void ClearTrial(Session& s, ComparisonSeam& comparison);

struct LeaveContext {
  ComparisonSeam& comparison;
  RepetitionAnalyzer& analyzer;
  Alerts& alerts;
  std::function<bool()> saveLists;
};

// Leaving for a Data window: select, clear the trial when its client is not the selected one
// (and analyse the empty trial afresh), then save the lists. Returns true when the trial was
// cleared.
bool LeaveForDataWindow(Session& s, ClientListSeam& list, LeaveContext& ctx);

// The box of a command that leads to recording while the open file's client is not in the
// list; nothing when the command may go on.
std::optional<Alert> ClientNotListedAlert(const Session& s, const ClientListSeam& list);
// Shows that box when it applies; true when the command may go on.
bool ConfirmClientListed(const Session& s, const ClientListSeam& list, Alerts& alerts);

}  // namespace tidemet
