#pragma once
// The client window's Edit, File Print and Units commands on the client list.

#include <string>
#include <string_view>
#include <vector>

#include "app/files/client_list.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// The entry that Copy Client and Edit Client work on: the selected one, or entry 0 (then
// selected) when none is; -1 for an empty list.
int SelectedOrFirst(ClientListSeam& list);

// Copy Client: the header line, a line break and the entry. Copy All Clients: the header line
// and every entry, each followed by a line break.
std::string ClientClipHeader();
std::string CopyClientText(ClientListSeam& list);
std::string CopyAllClientsText(const ClientListSeam& list);

// The printed list as positioned text: each piece starts at its column (counted from 1) of a
// fixed-pitch line.
struct PrintPiece {
  int column = 1;
  std::string text;
  bool operator==(const PrintPiece&) const = default;
};
using PrintLine = std::vector<PrintPiece>;

// Title, a blank line, the two heading lines in the units' labels, then one line per entry.
std::vector<PrintLine> ClientListPrintLines(const ClientListSeam& list, bool metric,
                                            std::string_view productWord);
// A line as fixed-pitch text: blanks up to each piece's column.
std::string PrintLineText(const PrintLine& line);

// The column labels above the list, as two fixed-pitch lines: the name, height and clinician
// labels on the first, the ID and weight labels on the second, each over its column.
std::vector<std::string> ClientColumnLabels(const UnitLabels& units);

// Delete Client: the selected entry goes, unless it is the only one (then the box says why and
// the entry stays). Returns true when an entry was removed.
bool DeleteClient(ClientList& list, Alerts& alerts, std::string_view productWord);
Alert LastClientAlert(std::string_view productWord);

// Continue in the editor. Add puts the new entry at the end; an edited entry goes back to its
// own place, and when it was the current client the current client follows the change.
void AddClient(ClientList& list, std::string entry);
void ReplaceClient(Session& s, ClientList& list, int index, std::string entry);

// The Units menu: the session's unit switch and, when the units change, every entry converted.
// Returns the monitor's refresh flags of the switch.
unsigned SwitchClientUnits(Session& s, ClientList& list, bool metric);

}  // namespace tidemet
