#include "app/files/list_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "app/files/client_entry.h"
#include "app/files/safe_file.h"
#include "temp_folder.h"

namespace tidemet {
namespace {

using testing::TempFolder;
namespace fs = std::filesystem;

std::string contents(const fs::path& path) { return ReadWholeFile(path, 1 << 20).value_or("?"); }

TEST(ClientEntry, ColumnsSitWhereTheyBelong) {
  // The ID at column 23, height and weight at 38 and 45, the clinician at 52.
  std::string entry =
      MakeClientEntry("ABCDEFGHIJKLMNOPQRST", "AB3456789012", "48", "150", "Dr. Who");
  EXPECT_EQ(entry, "ABCDEFGHIJKLMNOPQRST  AB3456789012   48     150    Dr. Who");
  EXPECT_EQ(EntryCode(entry), "AB");
  EXPECT_EQ(EntryWeight(entry), "150");
  EXPECT_EQ(EntryClinician(entry), "Dr. Who");
  // Columns count characters, not bytes.
  const std::string name =
      "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1"
      "ez";
  const std::string accented = MakeClientEntry(name, "J\xC3\x89", "180", "75", "Ana");
  EXPECT_EQ(EntryName(accented), name);
  EXPECT_EQ(EntryHeight(accented), "180");
  // Over-long fields are cut to their limits; a short entry gives empty columns.
  std::string cut = MakeClientEntry("A name that is far too long", "ID-0123456789", "170", "70",
                                    "A clinician with a long name");
  EXPECT_EQ(EntryName(cut), "A name that is far t");
  EXPECT_EQ(EntryClinician(cut), "A clinician with");
  EXPECT_EQ(EntryHeight("Short"), "");
}

// Each record read into its settings, and written back byte for byte.
TEST(CompanyList, ReadsAndWritesTheSixRecords) {
  const std::string bytes =
      "\"Aqua 'Fit'\",\"1 Pool St, Suite 2\",\"Town\",\"ST\",\"12345\",\"555\","
      "1234,0.625,18,0,3,12632256,65280,0,16777215,12\r\n"
      "1,-2,3,-4,5,-6,7,-79\r\n25\r\n0\r\n689\r\n1,-2250\r\n";
  CompanySettings c;
  ASSERT_FALSE(ReadCompanyList(bytes, c));
  EXPECT_EQ(c.institutionLines[1], "1 Pool St, Suite 2");
  EXPECT_EQ(c.calibrationFactor, 0.625f);
  EXPECT_EQ(c.comPort, 12);
  EXPECT_EQ(c.rememberedOffsets[7], -79);
  EXPECT_EQ(c.sensorValueOffset, -2250);
  EXPECT_EQ(CompanyListBytes(c), bytes);
}

TEST(CompanyList, DamagedFilesAreReportedWithTheirRecord) {
  const std::string start = "\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",500,";
  const std::pair<std::string, std::string> cases[] = {
      {"", "company.lst ends before record 1 is complete."},
      {start + "1,7\r\n", "company.lst ends before record 1 is complete."},
      {start + "x,7,1,2,0,0,0,0,3\r\n", "company.lst has a damaged field in record 1."},
      {start + "1,7,1,2,0,0,0,0,3\r\n1,2,3\r\n", "company.lst ends before record 2 is complete."},
  };
  for (const auto& [bytes, error] : cases) {
    CompanySettings s;
    EXPECT_EQ(ReadCompanyList(bytes, s).text, error) << bytes;
  }
}

TEST(CompanyList, SavedSettingsOutsideTheirRangesKeepTheSessionValues) {
  auto s = std::make_unique<Session>();
  s->DelayCount = 77;
  CompanySettings c;
  ASSERT_FALSE(
      ReadCompanyList("\"\",\"\",\"\",\"\",\"\",\"\",0,0,24,1,9,0,0,0,-1,17\r\n"
                      "80,-80,79,0,0,0,0,0\r\n30\r\n1\r\n100\r\n0,-50\r\n",
                      c));
  ApplySavedSettings(*s, c);
  EXPECT_EQ(s->DelayCount, 77);  // not above 0: the computed rate stays
  EXPECT_EQ(s->CalibrationFactor, 1.0f);
  EXPECT_EQ(s->ModelCode, 0);
  EXPECT_EQ(s->ExerciseMode, 1);
  EXPECT_EQ(s->ComPort, 1);
  EXPECT_EQ(s->RememberedOffsets[0], 79);
  EXPECT_EQ(s->RememberedOffsets[1], -79);
  EXPECT_EQ(s->RememberedOffsets[2], 79);
  EXPECT_EQ(s->SwimDistance, 0);
  EXPECT_EQ(s->UnitNode, 92);
  EXPECT_EQ(s->SensorValueOffset, 0);
  EXPECT_EQ(s->DataBackColor, 0xFFFFFF);
  c.delayCount = 300;
  c.calibrationFactor = 0.3125f;
  ApplySavedSettings(*s, c);
  EXPECT_EQ(s->DelayCount, 300);
  EXPECT_EQ(s->CalibrationFactor, 0.3125f);
}

TEST(ClientListFile, OneQuotedEntryPerRecordInListOrder) {
  ClientList list({MakeClientEntry("Smith, Ann", "S1", "170", "60", "Bo"),
                   MakeClientEntry("Jos\xC3\xA9", "J2", "48", "50", "")});
  std::string bytes = ClientListBytes(list);
  EXPECT_EQ(bytes,
            "\"Smith, Ann            S1             170    60     Bo\"\r\n"
            "\"Jos\xE9                  J2             48     50     \"\r\n");
  std::vector<std::string> back;
  ASSERT_FALSE(ReadClientList(bytes, back));
  EXPECT_EQ(back, list.entries());
  back.clear();
  EXPECT_EQ(ReadClientList("\"one\"\r\n\"two", back).text,
            "client.lst has a damaged field in record 2.");
  EXPECT_EQ(back, std::vector<std::string>{"one"});
}

// A first start writes the default lists; a save replaces them.
TEST(ListFiles, SaveListsWritesBothFilesAndTakesTheSelectedClient) {
  TempFolder folder;
  ASSERT_FALSE(EnsureListFiles(folder.path()));
  EXPECT_EQ(contents(folder.path() / "client.lst"),
            "\"Client" + std::string(31, ' ') + "170    70     \"\r\n");
  EXPECT_EQ(contents(folder.path() / "company.lst"), CompanyListBytes(CompanySettings{}));
  auto s = std::make_unique<Session>();
  s->WorkingFolder = folder.path().string();
  s->ModelCode = 20;
  ClientList list(
      {MakeClientEntry("Ann", "A", "165", "58", ""), MakeClientEntry("Bo", "B", "170", "70", "")});
  list.select(1);
  RecordingAlerts alerts;
  ASSERT_TRUE(SaveLists(*s, list, alerts));
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(s->DataClientName, "Bo");
  EXPECT_EQ(contents(folder.path() / "client.lst"), ClientListBytes(list));
  EXPECT_EQ(contents(folder.path() / "company.lst"), CompanyListBytes(SavedSettingsOf(*s)));

  s->WorkingFolder = "/nonexistent-folder-for-tidemet";
  EXPECT_FALSE(SaveLists(*s, list, alerts));
  EXPECT_EQ(
      alerts.shown.at(0).text.rfind("File: /nonexistent-folder-for-tidemet/client.lst\r\n", 0), 0u);
}

TEST(ListFiles, ListsThatAreNoFilesAreAStartUpErrorNotAHang) {
  TempFolder folder;
  const auto company = folder.path() / "company.lst";
  auto s = std::make_unique<Session>();
  CompanySettings settings;
  ASSERT_EQ(::mkfifo(company.c_str(), 0600), 0);
  EXPECT_EQ(ReadStartupLists(*s, folder.path(), settings).text,
            "company.lst is not a regular file.");
}

// A company.lst damaged in record 2: the settings before the damage are taken, and the next
// save keeps the damaged file aside instead of writing over it.
TEST(ListFiles, ADamagedCompanyListKeepsWhatWasReadAndIsKeptAside) {
  TempFolder folder;
  const fs::path company = folder.path() / "company.lst";
  const CompanySettings saved{.modelCode = 20, .exerciseMode = 3, .comPort = 12};
  std::string damaged = CompanyListBytes(saved);
  damaged.resize(damaged.find("\r\n") + 2);
  damaged += "5,6,\"seven\"";
  ASSERT_FALSE(WriteFileAtomically(company, damaged));
  const ClientList clients({DefaultClientEntry()});
  ASSERT_FALSE(WriteFileAtomically(folder.path() / "client.lst", ClientListBytes(clients)));

  auto s = std::make_unique<Session>();
  s->WorkingFolder = folder.path().string();
  CompanySettings taken;
  EXPECT_EQ(ReadStartupLists(*s, folder.path(), taken).text,
            "company.lst has a damaged field in record 2.");
  EXPECT_EQ(taken.comPort, 12);
  EXPECT_EQ(taken.rememberedOffsets, (std::array<int16_t, 8>{5, 6, 0, 0, 0, 0, 0, 0}));
  ApplySavedSettings(*s, taken);

  // Saved twice with a damaged file each time: two copies, neither written over.
  for (const std::string aside : {"company.lst.damaged", "company.lst.damaged-2"}) {
    RecordingAlerts alerts;
    ASSERT_TRUE(SaveLists(*s, clients, alerts));
    EXPECT_EQ(alerts.shown.at(0).text,
              "company.lst has a damaged field in record 2.\r\nIt was kept as " +
                  (folder.path() / aside).string() +
                  ";\r\nthe settings are saved in a new company.lst.");
    EXPECT_EQ(contents(folder.path() / aside), damaged);
    EXPECT_EQ(contents(company), CompanyListBytes(SavedSettingsOf(*s)));
    ASSERT_FALSE(WriteFileAtomically(company, damaged));
  }
}

}  // namespace
}  // namespace tidemet
