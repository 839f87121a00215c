#pragma once
// Whole-file reading and crash-safe writing. A file is written to a temporary file in the same
// folder, flushed to the disk and renamed over the target, so that a crash or a full disk never
// leaves a half-written trial or list: the old file stays until the new one is complete.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tidemet {

// A file to write and its new contents.
struct FileToWrite {
  std::filesystem::path path;
  std::string_view bytes;
};

// Writes `bytes` to `path` crash-safely. Returns nothing on success, else why it failed (the old
// file, if any, is untouched and no temporary file is left behind). A new file gets the user's
// umask; a replaced file keeps its own permissions.
std::optional<std::string> WriteFileAtomically(const std::filesystem::path& path,
                                               std::string_view bytes);

// The system calls by which a save reaches the disk. The program uses the system's own; a test
// replaces them to watch their order or to fail one part-way, as a full disk does.
class SaveCalls {
 public:
  virtual ~SaveCalls() = default;
  virtual long write(int fd, const char* data, size_t size);
  virtual int fsync(int fd);
  virtual int rename(const char* from, const char* to);
};

// Writes files that belong together (a trial's .dat and .sum): every temporary is written and
// flushed first, then they are renamed in the order given. When a rename fails, the files
// already renamed are put back as they were, so a reader never finds a new file beside an old
// partner. Stale temporaries of the same targets, left by a save that was killed, are removed.
std::optional<std::string> WriteFilesTogether(std::span<const FileToWrite> files);
std::optional<std::string> WriteFilesTogether(std::span<const FileToWrite> files, SaveCalls& calls);

// Whether `name` (a bare file name) is a temporary this program made for the file `target`.
bool IsTemporaryOf(const std::filesystem::path& target, std::string_view name);

// Whether `path` is an existing file that its permissions keep from being replaced by the user.
bool IsReadOnlyFile(const std::filesystem::path& path);

// Reads the whole of a regular file of at most `maxBytes` bytes. Anything else - a folder, a
// FIFO, a device, a larger file, a file whose read fails - gives nothing, with why in `error`
// (a sentence without the file's name). Never blocks on a FIFO and never reads past the limit.
std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, size_t maxBytes,
                                         std::string* error = nullptr);

}  // namespace tidemet
