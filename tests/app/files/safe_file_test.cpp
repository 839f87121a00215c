#include "app/files/safe_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <set>

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
  const fs::path sparse = folder.path() / "huge.dat";
  {
    std::ofstream(sparse).put('x');
    fs::resize_file(sparse, 1ull << 30);  // 1 GB, no blocks on the disk
  }
  const fs::path zero = folder.path() / "zero.dat";
  fs::create_symlink("/dev/zero", zero);
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
      {sparse, 289467,
       "is 1073741824 bytes long, more than a file of its kind holds (289467 bytes)."},
      {zero, 1000, "is not a regular file."},
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
  EXPECT_EQ(ReadWholeFile(folder.path() / "empty", 10, nullptr), std::nullopt);
  put(folder.path() / "empty", "");
  EXPECT_EQ(ReadWholeFile(folder.path() / "empty", 10), "");
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

  // Once the way is clear the same pair is written whole.
  fs::remove_all(sum);
  EXPECT_FALSE(WriteFilesTogether(pair));
  EXPECT_EQ(get(dat), "new dat");
  EXPECT_EQ(get(sum), "new sum");
  EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"trial.dat", "trial.sum"}));
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
  EXPECT_TRUE(IsTemporaryOf(dat, "trial.dat.tidemet-save-z9Z9z9"));
  EXPECT_FALSE(IsTemporaryOf(dat, "trial.dat.tidemet-save-z9Z9z."));
}

TEST(WriteFilesTogether, NewFilesFollowTheUmaskAndReplacedFilesKeepTheirMode) {
  TempFolder folder;
  const struct {
    mode_t umask;
    mode_t expected;
  } cases[] = {{022, 0644}, {077, 0600}, {002, 0664}};
  for (const auto& c : cases) {
    const mode_t before = ::umask(c.umask);
    const fs::path path = folder.path() / ("new-" + std::to_string(c.umask));
    put(path, "x");
    ::umask(before);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, c.expected) << std::oct << c.umask;
  }
  const fs::path kept = folder.path() / "kept";
  put(kept, "x");
  ASSERT_EQ(::chmod(kept.c_str(), 0444), 0);
  EXPECT_TRUE(IsReadOnlyFile(kept));
  put(kept, "y");
  struct stat st {};
  ASSERT_EQ(::stat(kept.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0444u);
  EXPECT_EQ(get(kept), "y");
  EXPECT_FALSE(IsReadOnlyFile(folder.path() / "new-18"));
}

}  // namespace
}  // namespace tidemet
