#include "app/clients/client_commands.h"

#include "app/files/client_entry.h"
#include "app/files/cp1252_text.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/session/units.h"

namespace tidemet {

int SelectedOrFirst(ClientListSeam& list) {
  if (list.count() == 0) return -1;
  if (list.selected() < 0) list.select(0);
  return list.selected();
}

std::string ClientClipHeader() {
  return "Name" + std::string(20, ' ') + "ID" + std::string(10, ' ') + "Height" +
         std::string(7, ' ') + "Weight" + std::string(7, ' ') + "Clinician";
}

std::string CopyClientText(ClientListSeam& list) {
  const int index = SelectedOrFirst(list);
  return ClientClipHeader() + std::string(CrLf) + (index >= 0 ? list.entry(index) : std::string());
}

std::string CopyAllClientsText(const ClientListSeam& list) {
  std::string text = ClientClipHeader() + std::string(CrLf);
  for (int i = 0; i < list.count(); ++i) text += list.entry(i) + std::string(CrLf);
  return text;
}

std::vector<PrintLine> ClientListPrintLines(const ClientListSeam& list, bool metric,
                                            std::string_view productWord) {
  std::vector<PrintLine> lines;
  lines.reserve(static_cast<size_t>(list.count()) + 4);
  lines.push_back({{31, std::string(productWord) + " Client List"}});
  lines.push_back({});
  lines.push_back({{37, "Height"}, {44, "Weight"}});
  lines.push_back({{1, "Name"},
                   {23, "ID"},
                   {35, metric ? "(cm)" : "(in)"},
                   {42, metric ? "(kg)" : "(lbs)"},
                   {52, "Clinician"}});
  for (int i = 0; i < list.count(); ++i) lines.push_back({{1, list.entry(i)}});
  return lines;
}

std::string PrintLineText(const PrintLine& line) {
  std::string text;
  size_t length = 0;  // in characters
  for (const PrintPiece& piece : line) {
    const size_t start = piece.column > 0 ? static_cast<size_t>(piece.column - 1) : 0;
    if (length < start) {
      text.append(start - length, ' ');
      length = start;
    }
    text += piece.text;
    length += Utf8Length(piece.text);
  }
  return text;
}

std::vector<std::string> ClientColumnLabels(const UnitLabels& units) {
  // The labels' leading blanks put "Name" and "Clinician" over the first characters they label;
  // the height and weight labels end over the end of their columns, so each unit sits above its
  // own numbers.
  return {PrintLineText({{1, "   Name"}, {32, units.Height}, {49, "   Clinician"}}),
          PrintLineText({{23, "ID"}, {39, units.Weight}})};
}

Alert LastClientAlert(std::string_view productWord) {
  return Alert{std::string(productWord),
               JoinLines({"The last client cannot be deleted.",
                          "Add another client and then delete this one."}),
               AlertIcon::Exclamation, AlertButtons::Ok};
}

bool DeleteClient(ClientList& list, Alerts& alerts, std::string_view productWord) {
  const int index = list.selected();
  if (index < 0) return false;
  if (list.count() <= 1) {
    alerts.show(LastClientAlert(productWord));
    return false;
  }
  list.remove(index);
  return true;
}

void AddClient(ClientList& list, std::string entry) { list.insert(list.count(), std::move(entry)); }

void ReplaceClient(Session& s, ClientList& list, int index, std::string entry) {
  if (index < 0 || index >= list.count()) return;
  const std::string oldName = EntryName(list.entry(index));
  list.setEntry(index, entry);
  // A trial opened from a file keeps the client the file names.
  if (oldName != s.ClientName || s.OpenedFromFile != 0) return;
  // A renamed client keeps the trial in memory that was theirs.
  const std::string trialClient = s.DataClientName;
  TakeClientFromEntry(s, entry);
  s.DataClientName = trialClient == oldName ? s.ClientName : trialClient;
  ComputeSegmentAreas(s);
}

unsigned SwitchClientUnits(Session& s, ClientList& list, bool metric) {
  if ((s.UnitsFlag == 1) == metric) {
    ApplyUnitLabels(s.labels, metric);
    return kRefreshLabels;
  }
  const unsigned refresh = SwitchUnits(s, metric);
  list.convertUnits(metric);
  return refresh;
}

}  // namespace tidemet
