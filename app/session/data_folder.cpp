#include "app/session/data_folder.h"

namespace tidemet {

std::string DataFolderFor(const std::filesystem::path& executable, const std::string& fallback) {
  std::error_code ec;
  const std::filesystem::path candidate =
      (executable.parent_path().parent_path() / "share" / "tidemet").lexically_normal();
  if (!executable.empty() && std::filesystem::is_directory(candidate, ec))
    return (candidate / "").string();
  return fallback.ends_with('/') ? fallback : fallback + "/";
}

}  // namespace tidemet
