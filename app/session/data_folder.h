#pragma once
// Where the program's data files (the manual, the reference files) live: share/tidemet beside
// the folder of the executable, which holds both in an installed tree (<prefix>/bin and
// <prefix>/share/tidemet, also when a package is merely unpacked somewhere) and in a build tree
// (bin/ and share/tidemet/ under the build folder).

#include <filesystem>
#include <string>

namespace tidemet {

// "<executable's folder>/../share/tidemet/" when that folder exists, else `fallback` (the folder
// the build was configured to install to). Ends in a slash.
std::string DataFolderFor(const std::filesystem::path& executable, const std::string& fallback);

}  // namespace tidemet
