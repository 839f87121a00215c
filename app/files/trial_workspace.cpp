#include "app/files/trial_workspace.h"

#include "app/files/client_entry.h"
#include "app/files/safe_file.h"
#include "app/files/summary_file_format.h"
#include "app/files/trial_file.h"
#include "app/files/trial_file_format.h"
#include "app/session/model_table.h"

namespace tidemet {

TrialWorkspace::TrialWorkspace() : session(std::make_unique<Session>()) {}

ListError TrialWorkspace::load(const std::optional<std::filesystem::path>& folder) {
  Session& s = *session;
  CompanySettings settings;
  std::vector<std::string> entries{DefaultClientEntry()};
  // A folder without either list is a first start; nothing is written into it.
  const bool hasLists = folder && (std::filesystem::exists(*folder / kCompanyListName) ||
                                   std::filesystem::exists(*folder / kClientListName));
  if (folder) s.WorkingFolder = folder->string();
  if (hasLists) {
    if (auto error = ReadStartupLists(s, *folder, settings)) return error;
    std::string why;
    auto bytes = ReadWholeFile(*folder / kClientListName, kLargestClientListBytes, &why);
    if (!bytes) return {std::string(kClientListName) + " " + why};
    entries.clear();
    if (auto error = ReadClientList(*bytes, entries)) return error;
  } else {
    TakeClientFromEntry(s, entries[0]);
    s.FileClientName = s.ClientName;
  }
  ApplySavedSettings(s, settings);
  ApplyCalibration(s, s.ModelCode);
  clients = ClientList(std::move(entries));
  if (clients.count() > 0) clients.select(0);
  return {};
}

void TrialWorkspace::selectFileClient(const std::string& path) {
  const bool dataFile = UpperPath(path).ends_with("DAT");
  auto bytes = ReadWholeFile(path, dataFile ? kLargestTrialFileBytes : kLargestSummaryFileBytes);
  if (!bytes) return;
  std::string name;
  if (dataFile) {
    const TrialFileParse parsed = ParseTrialFile(*bytes);
    if (!parsed.contents) return;
    name = parsed.contents->clientName;
  } else {
    const SummaryParse parsed = ParseSummaryFile(*bytes);
    if (!parsed.contents) return;
    name = parsed.contents->header.clientName;
  }
  Session& s = *session;
  const int found = FindClient(clients, name);
  if (found >= 0) {
    clients.select(found);
    TakeClientFromEntry(s, clients.entry(found));
  } else {
    s.ClientName = name;
  }
}

}  // namespace tidemet
