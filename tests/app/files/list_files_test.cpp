#include "app/files/list_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <memory>

#include "app/files/client_entry.h"
#include "app/files/safe_file.h"
#include "temp_folder.h"

namespace tidemet {
namespace {

using testing::TempFolder;

TEST(ClientEntry, ColumnsSitWhereTheyBelong) {
  std::string entry = MakeClientEntry("ABCDEFGHIJKLMNOPQRST", "AB3456789012", "48", "150", "Dr. Who");
  // The ID at column 23, height and weight at 38 and 45, the clinician at 52.
  EXPECT_EQ(entry, "ABCDEFGHIJKLMNOPQRST  AB3456789012   48     150    Dr. Who");
  EXPECT_EQ(EntryCode(entry), "AB");
  EXPECT_EQ(EntryWeight(entry), "150");
  EXPECT_EQ(EntryClinician(entry), "Dr. Who");
  // Columns count characters, not bytes.
  const std::string accented = MakeClientEntry("Jos\xC3\xA9 N\xC3\xBA\xC3\xB1" "ez", "J\xC3\x89", "180", "75", "Ana");
  EXPECT_EQ(EntryName(accented), "Jos\xC3\xA9 N\xC3\xBA\xC3\xB1" "ez");
  EXPECT_EQ(EntryHeight(accented), "180");

  // Over-long fields are cut to their limits; a short entry gives empty columns.
  std::string cut = MakeClientEntry("A name that is far too long", "ID-0123456789", "170", "70",
                                    "A clinician with a long name");
  EXPECT_EQ(EntryName(cut), "A name that is far t");
  EXPECT_EQ(EntryClinician(cut), "A clinician with");
  EXPECT_EQ(EntryHeight("Short"), "");
}

TEST(CompanyList, WritesSixRecordsInTheirOrder) {
  CompanySettings c;
  c.institutionLines = {"Aqua \"Fit\"", "1 Pool St, Suite 2", "Town", "ST", "12345", "555"};
  c.delayCount = 1234;
  c.calibrationFactor = 0.625f;
  c.modelCode = 18;
  c.unitsFlag = 0;
  c.exerciseMode = 3;
  c.windowBackColor = 0xC0C0C0;
  c.dataForeColor = 0x00FF00;
  c.windowForeColor = 0;
  c.dataBackColor = 0xFFFFFF;
  c.comPort = 12;
  c.rememberedOffsets = {1, -2, 3, -4, 5, -6, 7, -79};
  c.swimDistance = 25;
  c.computerClass = 0;
  c.unitNode = 689;
  c.sensorType = 1;
  c.sensorValueOffset = -2250;
  EXPECT_EQ(CompanyListBytes(c),
            "\"Aqua 'Fit'\",\"1 Pool St, Suite 2\",\"Town\",\"ST\",\"12345\",\"555\","
            "1234,0.625,18,0,3,12632256,65280,0,16777215,12\r\n"
            "1,-2,3,-4,5,-6,7,-79\r\n25\r\n0\r\n689\r\n1,-2250\r\n");
  CompanySettings back;
  ASSERT_FALSE(ReadCompanyList(CompanyListBytes(c), back));
  EXPECT_EQ(CompanyListBytes(back), CompanyListBytes(c));
}

TEST(CompanyList, AShortFileLeavesTheLaterSettingsAtTheirDefaults) {
  const std::string record1 = "\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",500,1,7,1,2,0,0,0,0,3\r\n";
  struct Case { std::string bytes; int16_t offset0, swim, computer, node, sensorType; };
  const Case cases[] = {
      {record1, 0, 0, 1, 92, 0},
      {record1 + "9,0,0,0,0,0,0,0\r\n", 9, 0, 1, 92, 0},
      {record1 + "9,0,0,0,0,0,0,0\r\n15\r\n0\r\n", 9, 15, 0, 92, 0},
      {record1 + "9,0,0,0,0,0,0,0\r\n15\r\n0\r\n987\r\n1,0\r\n", 9, 15, 0, 987, 1},
  };
  for (const auto& c : cases) {
    CompanySettings s;
    ASSERT_FALSE(ReadCompanyList(c.bytes, s)) << c.bytes;
    EXPECT_EQ(s.modelCode, 7);
    EXPECT_EQ(s.comPort, 3);
    EXPECT_EQ(s.rememberedOffsets[0], c.offset0);
    EXPECT_EQ(s.swimDistance, c.swim);
    EXPECT_EQ(s.computerClass, c.computer);
    EXPECT_EQ(s.unitNode, c.node);
    EXPECT_EQ(s.sensorType, c.sensorType);
  }
}

TEST(CompanyList, DamagedFilesAreReportedWithTheirRecord) {
  struct Case { std::string bytes; std::string error; };
  const Case cases[] = {
      {"", "company.lst ends before record 1 is complete."},
      {"\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",500,1,7\r\n", "company.lst ends before record 1 is complete."},
      {"\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",500,x,7,1,2,0,0,0,0,3\r\n", "company.lst has a damaged field in record 1."},
      {"\"A\",\"B\",\"C\",\"D\",\"E\",\"F\",500,1,7,1,2,0,0,0,0,3\r\n1,2,3\r\n", "company.lst ends before record 2 is complete."},
  };
  for (const auto& c : cases) {
    CompanySettings s;
    EXPECT_EQ(ReadCompanyList(c.bytes, s).text, c.error) << c.bytes;
  }
}

TEST(CompanyList, SavedSettingsOutsideTheirRangesKeepTheSessionValues) {
  auto s = std::make_unique<Session>();
  s->DelayCount = 77;
  CompanySettings c;
  c.delayCount = 0;            // not above 0: the computed rate stays
  c.calibrationFactor = 0.0f;  // 0: stays
  c.modelCode = 24;
  c.unitsFlag = 0;
  c.exerciseMode = 9;
  c.comPort = 17;
  c.rememberedOffsets = {100, -100, 0, 0, 0, 0, 0, 0};
  c.swimDistance = 30;
  c.unitNode = 100;
  c.sensorValueOffset = -50;
  c.dataBackColor = -1;
  ApplySavedSettings(*s, c);
  EXPECT_EQ(s->DelayCount, 77);
  EXPECT_EQ(s->CalibrationFactor, 1.0f);
  EXPECT_EQ(s->ModelCode, 0);
  EXPECT_EQ(s->UnitsFlag, 0);
  EXPECT_EQ(s->ExerciseMode, 1);
  EXPECT_EQ(s->ComPort, 1);
  EXPECT_EQ(s->RememberedOffsets[0], 79);
  EXPECT_EQ(s->RememberedOffsets[1], -79);
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
  EXPECT_EQ(ClientListBytes(ClientList()), "");
  back.clear();
  EXPECT_EQ(ReadClientList("\"one\"\r\n\"two", back).text, "client.lst has a damaged field in record 2.");
  EXPECT_EQ(back, std::vector<std::string>{"one"});
}

TEST(ListFiles, FirstStartCreatesBothFilesAndLeavesExistingOnesAlone) {
  TempFolder folder;
  ASSERT_FALSE(EnsureListFiles(folder.path()));
  auto client = ReadWholeFile(folder.path() / "client.lst", kLargestClientListBytes);
  ASSERT_TRUE(client);
  EXPECT_EQ(*client, "\"Client" + std::string(31, ' ') + "170    70     \"\r\n");
  auto company = ReadWholeFile(folder.path() / "company.lst", kLargestCompanyListBytes);
  ASSERT_TRUE(company);
  EXPECT_EQ(*company, CompanyListBytes(CompanySettings{}));

  ASSERT_FALSE(WriteFileAtomically(folder.path() / "client.lst", "\"Mine\"\r\n"));
  ASSERT_FALSE(EnsureListFiles(folder.path()));
  EXPECT_EQ(*ReadWholeFile(folder.path() / "client.lst", kLargestClientListBytes), "\"Mine\"\r\n");
}

TEST(ListFiles, SaveListsWritesBothFilesAndTakesTheSelectedClient) {
  TempFolder folder;
  auto s = std::make_unique<Session>();
  s->WorkingFolder = folder.path().string();
  s->ModelCode = 20;
  s->SwimDistance = 15;
  ClientList list({MakeClientEntry("Ann Lee", "AL07", "165", "58", "Kim"), MakeClientEntry("Bo", "B", "170", "70", "")});
  list.select(1);
  RecordingAlerts alerts;
  ASSERT_TRUE(SaveLists(*s, list, alerts));
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_EQ(s->DataClientName, "Bo");
  EXPECT_EQ(*ReadWholeFile(folder.path() / "client.lst", kLargestClientListBytes), ClientListBytes(list));
  CompanySettings back;
  ASSERT_FALSE(ReadCompanyList(*ReadWholeFile(folder.path() / "company.lst", kLargestCompanyListBytes), back));
  EXPECT_EQ(back.modelCode, 20);
  EXPECT_EQ(back.swimDistance, 15);
}

TEST(ListFiles, AFailedSaveSaysWhy) {
  auto s = std::make_unique<Session>();
  s->WorkingFolder = "/nonexistent-folder-for-tidemet";
  ClientList list({DefaultClientEntry()});
  RecordingAlerts alerts;
  EXPECT_FALSE(SaveLists(*s, list, alerts));
  ASSERT_EQ(alerts.shown.size(), 2u);
  EXPECT_EQ(alerts.shown[0].text,
            "File: /nonexistent-folder-for-tidemet/client.lst\r\ncould not be saved: No such file or directory");
}

TEST(ListFiles, ListsThatAreNoFilesAreAStartUpErrorNotAHang) {
  TempFolder folder;
  const auto client = folder.path() / "client.lst";
  const auto company = folder.path() / "company.lst";
  ASSERT_FALSE(WriteFileAtomically(company, CompanyListBytes(CompanySettings{})));
  const struct {
    std::function<void()> make;
    std::string error;
  } cases[] = {
      {[&] { ::mkfifo(client.c_str(), 0600); }, "client.lst is not a regular file."},
      {[&] {
         std::ofstream(client).put('"');
         std::filesystem::resize_file(client, 1ull << 30);
       },
       "client.lst is 1073741824 bytes long, more than a file of its kind holds (710000 bytes)."},
      {[&] {
         std::filesystem::remove(company);
         ::mkfifo(company.c_str(), 0600);
       },
       "company.lst is not a regular file."},
  };
  for (const auto& c : cases) {
    std::filesystem::remove_all(client);
    c.make();
    auto s = std::make_unique<Session>();
    CompanySettings settings;
    EXPECT_EQ(ReadStartupLists(*s, folder.path(), settings).text, c.error);
  }
}

// A company.lst damaged in record 2: the settings before the damage are taken, and the next
// save keeps the damaged file aside instead of writing over it.
TEST(ListFiles, ADamagedCompanyListKeepsWhatWasReadAndIsKeptAside) {
  TempFolder folder;
  const CompanySettings saved{.modelCode = 20, .exerciseMode = 3, .comPort = 12};
  std::string damaged = CompanyListBytes(saved);
  damaged.resize(damaged.find("\r\n") + 2);
  damaged += "5,6,\"seven\"";
  ASSERT_FALSE(WriteFileAtomically(folder.path() / "company.lst", damaged));
  ASSERT_FALSE(WriteFileAtomically(folder.path() / "client.lst", ClientListBytes(ClientList({DefaultClientEntry()}))));

  auto s = std::make_unique<Session>();
  s->WorkingFolder = folder.path().string();
  CompanySettings read;
  EXPECT_EQ(ReadStartupLists(*s, folder.path(), read).text, "company.lst has a damaged field in record 2.");
  EXPECT_EQ(read.modelCode, 20);
  EXPECT_EQ(read.exerciseMode, 3);
  EXPECT_EQ(read.comPort, 12);
  EXPECT_EQ(read.rememberedOffsets, (std::array<int16_t, 8>{5, 6, 0, 0, 0, 0, 0, 0}));
  ApplySavedSettings(*s, read);

  // Saved twice with a damaged file each time: two copies, neither written over.
  for (const std::string aside : {"company.lst.damaged", "company.lst.damaged-2"}) {
    RecordingAlerts alerts;
    ASSERT_TRUE(SaveLists(*s, ClientList({DefaultClientEntry()}), alerts));
    ASSERT_EQ(alerts.shown.size(), 1u);
    EXPECT_EQ(alerts.shown[0].text, "company.lst has a damaged field in record 2.\r\nIt was kept as " +
                                        (folder.path() / aside).string() +
                                        ";\r\nthe settings are saved in a new company.lst.");
    EXPECT_EQ(ReadWholeFile(folder.path() / aside, kLargestCompanyListBytes), damaged);
    CompanySettings back;
    ASSERT_FALSE(ReadCompanyList(*ReadWholeFile(folder.path() / "company.lst", kLargestCompanyListBytes), back));
    EXPECT_EQ(back.modelCode, 20);
    ASSERT_FALSE(WriteFileAtomically(folder.path() / "company.lst", damaged));
  }
  // A whole file is simply replaced.
  ASSERT_FALSE(WriteFileAtomically(folder.path() / "company.lst", CompanyListBytes(saved)));
  RecordingAlerts alerts;
  ASSERT_TRUE(SaveLists(*s, ClientList({DefaultClientEntry()}), alerts));
  EXPECT_TRUE(alerts.shown.empty());
  EXPECT_FALSE(std::filesystem::exists(folder.path() / "company.lst.damaged-3"));
}

}  // namespace
}  // namespace tidemet
