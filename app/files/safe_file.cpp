#include "app/files/safe_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <random>
#include <vector>

namespace tidemet {
namespace {

// Temporaries are named "<target>.tidemet-save-" + six letters or digits, so that a later save
// of the same target recognises those a killed save left behind.
constexpr std::string_view kTemporaryInfix = ".tidemet-save-";
constexpr size_t kTemporarySuffixLength = 6;

std::string systemError() { return std::strerror(errno); }

std::filesystem::path folderOf(const std::filesystem::path& path) {
  return path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
}

std::string randomSuffix() {
  static constexpr std::string_view kLetters =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  std::random_device device;
  std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
  std::string out;
  for (size_t i = 0; i < kTemporarySuffixLength; ++i) out += kLetters[pick(device)];
  return out;
}

std::filesystem::path temporaryName(const std::filesystem::path& target) {
  return target.string() + std::string(kTemporaryInfix) + randomSuffix();
}

// A file descriptor that is closed with its owner.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now, so that a failing close is seen.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_ = -1;
};

bool writeAll(SaveCalls& calls, int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const long n = calls.write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// Removes the temporaries of `target` that no running save holds: a save keeps its temporary
// locked from creation to the end, so an unlocked one was left by a save that was killed.
void removeStaleTemporaries(const std::filesystem::path& target) {
  std::error_code ec;
  std::filesystem::directory_iterator it(folderOf(target), ec);
  if (ec) return;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (!IsTemporaryOf(target, name)) continue;
    Fd fd(::open(entry.path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) ||
        st.st_uid != ::geteuid())
      continue;
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0) ::unlink(entry.path().c_str());
  }
}

// One file on its way: its temporary, locked while it exists, and the old target kept as a
// link so that it can be put back.
struct Pending {
  std::filesystem::path target;
  std::filesystem::path temporary;
  std::filesystem::path kept;  // empty: no old file kept
  Fd fd;
  bool renamed = false;
};

std::optional<std::string> createTemporary(Pending& p) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path name = temporaryName(p.target);
    // 0666 lets the user's umask decide a new file's permissions.
    int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return systemError();
    }
    p.fd = Fd(fd);
    p.temporary = name;
    if (::flock(fd, LOCK_EX) != 0) return systemError();
    return std::nullopt;
  }
  return std::string("no free temporary file name");
}

std::optional<std::string> writeTemporary(SaveCalls& calls, Pending& p, std::string_view bytes) {
  if (auto why = createTemporary(p)) return why;
  struct stat old {};
  if (::stat(p.target.c_str(), &old) == 0 && ::fchmod(p.fd.get(), old.st_mode & 07777) != 0)
    return "its permissions could not be kept: " + systemError();
  if (!writeAll(calls, p.fd.get(), bytes)) return systemError();
  if (calls.fsync(p.fd.get()) != 0) return systemError();
  return std::nullopt;
}

// Keeps the old target under a temporary name (a second link to the same file).
void keepOld(Pending& p) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path name = temporaryName(p.target);
    if (::link(p.target.c_str(), name.c_str()) == 0) {
      p.kept = name;
      return;
    }
    if (errno != EEXIST) return;  // no old file, or a file system without links
  }
}

// Renaming is only durable once the folder itself is flushed. A folder that cannot be flushed
// at all (EINVAL) has nothing to flush.
std::optional<std::string> syncFolder(SaveCalls& calls, const std::filesystem::path& folder) {
  Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0) return "the folder could not be flushed to the disk: " + systemError();
  if (calls.fsync(fd.get()) != 0 && errno != EINVAL)
    return "the folder could not be flushed to the disk: " + systemError();
  return std::nullopt;
}

void discard(std::vector<Pending>& pending) {
  for (Pending& p : pending) {
    if (!p.temporary.empty() && !p.renamed) ::unlink(p.temporary.c_str());
    if (!p.kept.empty()) ::unlink(p.kept.c_str());
  }
}

// Puts back every target renamed so far: the kept old file, or no file where there was none.
void putBack(std::vector<Pending>& pending) {
  for (Pending& p : pending) {
    if (!p.renamed) continue;
    if (!p.kept.empty()) {
      if (::rename(p.kept.c_str(), p.target.c_str()) == 0) p.kept.clear();
    } else {
      ::unlink(p.target.c_str());
    }
    p.renamed = false;
    p.temporary.clear();
  }
}

}  // namespace

bool IsTemporaryOf(const std::filesystem::path& target, std::string_view name) {
  const std::string prefix = target.filename().string() + std::string(kTemporaryInfix);
  if (name.size() != prefix.size() + kTemporarySuffixLength || !name.starts_with(prefix))
    return false;
  for (char ch : name.substr(prefix.size()))
    if (!std::isalnum(static_cast<unsigned char>(ch))) return false;
  return true;
}

bool IsReadOnlyFile(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  // The owner's write permission is the file's read-only mark; it holds for every user.
  return (st.st_mode & S_IWUSR) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EACCES);
}

std::optional<std::string> WriteFileAtomically(const std::filesystem::path& path,
                                               std::string_view bytes) {
  const FileToWrite one[] = {{path, bytes}};
  return WriteFilesTogether(one);
}

long SaveCalls::write(int fd, const char* data, size_t size) { return ::write(fd, data, size); }
int SaveCalls::fsync(int fd) { return ::fsync(fd); }
int SaveCalls::rename(const char* from, const char* to) { return ::rename(from, to); }

std::optional<std::string> WriteFilesTogether(std::span<const FileToWrite> files) {
  SaveCalls system;
  return WriteFilesTogether(files, system);
}

std::optional<std::string> WriteFilesTogether(std::span<const FileToWrite> files,
                                              SaveCalls& calls) {
  std::vector<Pending> pending(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    pending[i].target = files[i].path;
    removeStaleTemporaries(files[i].path);
    if (auto why = writeTemporary(calls, pending[i], files[i].bytes)) {
      discard(pending);
      return why;
    }
  }
  for (size_t i = 0; i < pending.size(); ++i) {
    Pending& p = pending[i];
    // The last file needs no way back: nothing after it can fail.
    if (i + 1 < pending.size()) keepOld(p);
    if (calls.rename(p.temporary.c_str(), p.target.c_str()) != 0) {
      std::string why = systemError();
      putBack(pending);
      discard(pending);
      return why;
    }
    p.renamed = true;
  }
  std::optional<std::string> failure;
  for (Pending& p : pending) {
    if (!p.fd.close() && !failure) failure = systemError();
    if (!p.kept.empty()) ::unlink(p.kept.c_str());
  }
  for (const Pending& p : pending)
    if (auto why = syncFolder(calls, folderOf(p.target)); why && !failure) failure = why;
  return failure;
}

std::optional<std::string> ReadWholeFile(const std::filesystem::path& path, size_t maxBytes,
                                         std::string* error) {
  auto fail = [&](std::string why) -> std::optional<std::string> {
    if (error) *error = std::move(why);
    return std::nullopt;
  };
  auto refusal = [&](const struct stat& st) -> std::optional<std::string> {
    if (S_ISDIR(st.st_mode)) return std::string("is a folder.");
    if (!S_ISREG(st.st_mode)) return std::string("is not a regular file.");
    if (static_cast<unsigned long long>(st.st_size) > maxBytes)
      return "is " + std::to_string(st.st_size) +
             " bytes long, more than a file of its kind holds (" + std::to_string(maxBytes) +
             " bytes).";
    return std::nullopt;
  };
  // Looked at before it is opened: opening a device or a FIFO can block or act on the device.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return fail("cannot be opened: " + systemError() + ".");
  if (auto why = refusal(st)) return fail(*why);
  Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0) return fail("cannot be opened: " + systemError() + ".");
  // It may have been replaced in between.
  if (::fstat(fd.get(), &st) != 0) return fail("cannot be read: " + systemError() + ".");
  if (auto why = refusal(st)) return fail(*why);

  std::string bytes;
  bytes.resize(static_cast<size_t>(st.st_size));
  size_t have = 0;
  // A file may grow while it is read, and some report no size at all: read to the end, but
  // never more than one byte past the limit.
  for (;;) {
    if (have == bytes.size()) {
      if (have > maxBytes) break;
      bytes.resize(std::min(maxBytes + 1, std::max<size_t>(have * 2, 4096)));
    }
    ssize_t n = ::read(fd.get(), bytes.data() + have, bytes.size() - have);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail("cannot be read: " + systemError() + ".");
    }
    if (n == 0) break;
    have += static_cast<size_t>(n);
  }
  if (have > maxBytes)
    return fail("is more than a file of its kind holds (" + std::to_string(maxBytes) + " bytes).");
  bytes.resize(have);
  return bytes;
}

}  // namespace tidemet
