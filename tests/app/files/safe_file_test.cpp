#include "app/files/safe_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>
#include <set>
#include <vector>

#include "temp_folder.h"

namespace tidemet {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

void put(const fs::path& path, std::string_view bytes) {
  ASSERT_FALSE(WriteFileAtomically(path, bytes));
}

std::string get(const fs::path& path) {
  return ReadWholeFile(path, 1 << 20).value_or("<unreadable>");
}

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

TEST(ReadWholeFile, RefusesWhatIsNotASmallRegularFileWithoutReadingIt) {
  TempFolder folder;
  const fs::path fifo = folder.path() / "pipe.dat";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Reading /proc/self/mem at offset 0 fails with an I/O error: a file whose read fails.
  const fs::path failing = folder.path() / "failing.dat";
  fs::create_symlink("/proc/self/mem", failing);
  const fs::path exact = folder.path() / "exact.dat";
  put(exact, std::string(100, 'a'));

  const struct {
    fs::path path;
    size_t limit;
    std::string why;
  } cases[] = {
      {fifo, 1000, "is not a regular file."},
      {folder.path(), 1000, "is a folder."},
      {failing, 1000, "cannot be read: Input/output error."},
      {folder.path() / "missing.dat", 1000, "cannot be opened: No such file or directory."},
      {exact, 99, "is 100 bytes long, more than a file of its kind holds (99 bytes)."},
  };
  for (const auto& c : cases) {
    std::string why;
    EXPECT_FALSE(ReadWholeFile(c.path, c.limit, &why)) << c.path;
    EXPECT_EQ(why, c.why) << c.path;
  }
  EXPECT_EQ(ReadWholeFile(exact, 100), std::string(100, 'a'));
  put(folder.path() / "empty", "");
  EXPECT_EQ(ReadWholeFile(folder.path() / "empty", 10), "");
}

// Logs each call a save makes with the file it acts on (a temporary of the target shows as
// "<target>~") and fails the write that would pass `failAfter` bytes, as a full disk does.
class WatchedCalls : public SaveCalls {
 public:
  explicit WatchedCalls(fs::path target) : target_(std::move(target)) {}
  std::vector<std::string> log;
  size_t failAfter = SIZE_MAX;

  long write(int fd, const char* data, size_t size) override {
    log.push_back("write " + nameOf(fd));
    if (written_ >= failAfter) {
      errno = ENOSPC;
      return -1;
    }
    size = std::min(size, failAfter - written_);
    written_ += size;
    return SaveCalls::write(fd, data, size);
  }
  int fsync(int fd) override {
    log.push_back("fsync " + nameOf(fd));
    return SaveCalls::fsync(fd);
  }
  int rename(const char* from, const char* to) override {
    log.push_back("rename " + shown(fs::path(from)) + " " + shown(fs::path(to)));
    return SaveCalls::rename(from, to);
  }

 private:
  std::string shown(const fs::path& path) const {
    const std::string name = path.filename().string();
    if (IsTemporaryOf(target_, name)) return target_.filename().string() + "~";
    return path == target_.parent_path() ? "folder" : name;
  }
  std::string nameOf(int fd) const {
    return shown(fs::read_symlink("/proc/self/fd/" + std::to_string(fd)));
  }
  fs::path target_;
  size_t written_ = 0;
};

TEST(WriteFilesTogether, ANewFileIsWrittenAndFlushedBesideTheOldOneThenRenamedOverIt) {
  TempFolder folder;
  const fs::path dat = folder.path() / "trial.dat";
  put(dat, "old trial");
  const std::string bytes(5000, 'n');
  const FileToWrite one[] = {{dat, bytes}};

  // The disk fills after 3000 bytes: the save fails, the old file is whole, nothing is left.
  WatchedCalls full(dat);
  full.failAfter = 3000;
  EXPECT_EQ(WriteFilesTogether(one, full), "No space left on device");
  EXPECT_EQ(get(dat), "old trial");
  EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"trial.dat"});
  EXPECT_EQ(full.log, (std::vector<std::string>{"write trial.dat~", "write trial.dat~"}));

  // With room again the same save succeeds, in the order that keeps either file whole.
  WatchedCalls room(dat);
  EXPECT_FALSE(WriteFilesTogether(one, room));
  EXPECT_EQ(get(dat), bytes);
  EXPECT_EQ(room.log, (std::vector<std::string>{"write trial.dat~", "fsync trial.dat~",
                                                "rename trial.dat~ trial.dat", "fsync folder"}));
}

TEST(WriteFilesTogether, AFailedSecondRenameLeavesTheOldPair) {
  TempFolder folder;
  const fs::path dat = folder.path() / "trial.dat";
  const fs::path sum = folder.path() / "trial.sum";
  put(dat, "old dat");
  // A folder that is not empty where the summary goes: its rename fails after the data
  // file's has succeeded.
  fs::create_directories(sum / "inside");
  const FileToWrite pair[] = {{dat, "new dat"}, {sum, "new sum"}};
  EXPECT_TRUE(WriteFilesTogether(pair));
  EXPECT_EQ(get(dat), "old dat");
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"trial.dat", "trial.sum"}));

  // Without an old data file, none is left behind.
  const fs::path fresh = folder.path() / "fresh.dat";
  const FileToWrite freshPair[] = {{fresh, "new dat"}, {sum, "new sum"}};
  EXPECT_TRUE(WriteFilesTogether(freshPair));
  EXPECT_FALSE(fs::exists(fresh));
}

TEST(WriteFilesTogether, RemovesOnlyTheStaleTemporariesOfItsOwnTarget) {
  TempFolder folder;
  const fs::path dat = folder.path() / "trial.dat";
  for (const char* name : {"trial.dat.tidemet-save-Ab12xY", "trial.dat.tidemet-save-000000",
                           "trial.dat.tmp-Ab12xY", "other.dat.tidemet-save-Ab12xY",
                           "trial.dat.tidemet-save-toolong1", "trial.dat.tidemet-save-locked"})
    std::ofstream(folder.path() / name) << "left";
  // A save still running holds its temporary locked.
  const int held = ::open((folder.path() / "trial.dat.tidemet-save-locked").c_str(), O_RDONLY);
  ASSERT_GE(held, 0);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);

  put(dat, "trial");
  EXPECT_EQ(
      namesIn(folder.path()),
      (std::set<std::string>{"trial.dat", "trial.dat.tmp-Ab12xY", "other.dat.tidemet-save-Ab12xY",
                             "trial.dat.tidemet-save-toolong1", "trial.dat.tidemet-save-locked"}));
  ::close(held);
  put(dat, "again");
  EXPECT_FALSE(namesIn(folder.path()).count("trial.dat.tidemet-save-locked"));
}

mode_t modeOf(const fs::path& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(WriteFilesTogether, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
  TempFolder folder;
  for (const auto& [umask, expected] : {std::pair<mode_t, mode_t>{022, 0644}, {077, 0600}}) {
    const mode_t before = ::umask(umask);
    put(folder.path() / "new", "x");
    ::umask(before);
    EXPECT_EQ(modeOf(folder.path() / "new"), expected) << std::oct << umask;
    fs::remove(folder.path() / "new");
  }
  const fs::path kept = folder.path() / "kept";
  put(kept, "x");
  EXPECT_FALSE(IsReadOnlyFile(kept));
  ASSERT_EQ(::chmod(kept.c_str(), 0444), 0);
  EXPECT_TRUE(IsReadOnlyFile(kept));
  put(kept, "y");
  EXPECT_EQ(modeOf(kept), 0444u);
  EXPECT_EQ(get(kept), "y");
}

}  // namespace
}  // namespace tidemet
