#pragma once
// Whole-file reading and crash-safe writing. A file is written to a temporary file in the same
// folder, flushed to the disk and renamed over the target, so that a crash or a full disk never
// leaves a half-written trial or list: the old file stays until the new one is complete.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tidemet {

// Writes `bytes` to `path` crash-safely. Returns nothing on success, else why it failed (the old
// file, if any, is untouched and no temporary file is left behind).
std::optional<std::string> WriteFileAtomically(const std::filesystem::path& path,
                                               std::string_view bytes);

// Reads the whole file; nothing when it cannot be opened or read (then `error` says why).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error = nullptr);

}  // namespace tidemet
