#include "app/files/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace tidemet {
namespace {

std::string systemError() { return std::strerror(errno); }

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The rename is only durable once the folder itself is flushed.
void syncFolder(const std::filesystem::path& folder) {
  int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& path,
                                               std::string_view bytes) {
  const std::filesystem::path folder = path.parent_path();
  std::string pattern = (path.string() + ".tmp-XXXXXX");
  int fd = ::mkstemp(pattern.data());
  if (fd < 0) return systemError();

  // A new file gets the usual permissions; a replaced file keeps its own.
  struct stat old {};
  ::fchmod(fd, ::stat(path.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);

  std::string failure;
  if (!writeAll(fd, bytes)) failure = systemError();
  if (failure.empty() && ::fsync(fd) != 0) failure = systemError();
  if (::close(fd) != 0 && failure.empty()) failure = systemError();
  if (failure.empty() && ::rename(pattern.c_str(), path.c_str()) != 0) failure = systemError();
  if (!failure.empty()) {
    ::unlink(pattern.c_str());
    return failure;
  }
  syncFolder(folder);
  return std::nullopt;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, std::string* error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    if (error) *error = "is a folder";
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = std::string("cannot be opened: ") + std::strerror(errno);
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = "cannot be read";
    return std::nullopt;
  }
  return bytes;
}

}  // namespace tidemet
