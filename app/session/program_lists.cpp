#include "app/session/program_lists.h"

#include <filesystem>
#include <system_error>

#include "app/files/safe_file.h"
#include "app/session/text.h"

namespace tidemet {

void ProgramLists::UnitsTrackingList::convertUnits(bool toMetric) {
  if (toMetric == metric) return;
  ClientList::convertUnits(toMetric);
  metric = toMetric;
}

ListError ProgramLists::load() {
  if (!fileUnitsKnown_) {
    fileMetric_ = session_.UnitsFlag != 0;
    fileUnitsKnown_ = true;
  }
  const std::filesystem::path path =
      std::filesystem::path(session_.WorkingFolder) / std::string(kClientListName);
  std::vector<std::string> entries;
  std::error_code ec;
  if (std::filesystem::exists(path, ec)) {
    std::string why;
    auto bytes = ReadWholeFile(path, kLargestClientListBytes, &why);
    ListError error = bytes ? ReadClientList(*bytes, entries) : ListError{why};
    if (error) return ListError{path.string() + ": " + error.text};
  }
  static_cast<ClientList&>(clients_) = ClientList(std::move(entries));
  clients_.metric = fileMetric_;
  loaded_ = true;
  return {};
}

ClientList& ProgramLists::clients() {
  clients_.convertUnits(session_.UnitsFlag != 0);
  return clients_;
}

bool ProgramLists::save(Alerts& alerts) {
  if (!loaded_) {
    if (ListError error = load()) {
      alerts.show(Alert{std::string(AppTitle),
                        JoinLines({"client.lst could not be read: " + error.text,
                                   "The client and institution lists were not saved."}),
                        AlertIcon::Exclamation, AlertButtons::Ok});
      return false;
    }
  }
  return SaveLists(session_, clients(), alerts);
}

}  // namespace tidemet
