#include "app/session/program_lists.h"

#include <filesystem>
#include <system_error>

#include "app/files/safe_file.h"
#include "app/session/text.h"

namespace tidemet {

ListError ProgramLists::load() {
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
  clients_ = ClientList(std::move(entries));
  loaded_ = true;
  return {};
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
  return SaveLists(session_, clients_, alerts);
}

}  // namespace tidemet
