#include "app/session/main_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/files/client_entry.h"
#include "app/session/monitor_menus.h"
#include "app/session/program_lists.h"
#include "app/session/startup.h"
#include "list_folder.h"

namespace tidemet {
namespace {

// Keeps the order of everything that happens around a box.
struct Journal : Alerts, HelpViewer {
  AlertAnswer show(const Alert& alert) override {
    events.push_back("box:" + alert.title);
    shown.push_back(alert);
    return answer;
  }
  void showContents() override { events.push_back("help"); }
  void close() override { events.push_back("close help"); }
  std::vector<std::string> events;
  std::vector<Alert> shown;
  AlertAnswer answer = AlertAnswer::Ok;
};

AppInfo tidemetInfo() {
  AppInfo info;
  info.ProductWord = "Tidemet";
  info.VersionLabel = "Version 5.6 C2309";
  info.CopyrightLine = "(c)";
  return info;
}

TEST(Warning, AsksOkOrCancel) {
  Alert box = WarningAlert(tidemetInfo());
  EXPECT_EQ(box.icon, AlertIcon::Exclamation);
  EXPECT_EQ(box.buttons, AlertButtons::OkCancel);
}

TEST(Continue, OkLeadsToTheMenusAndCancelEndsTheProgram) {
  const struct {
    AlertAnswer answer;
    MainState state;
    std::vector<std::string> events;
  } cases[] = {
      {AlertAnswer::Ok, MainState::Ready, {"box:Tidemet Warning"}},
      {AlertAnswer::Cancel, MainState::Ended, {"box:Tidemet Warning", "close help"}},
  };
  for (const auto& c : cases) {
    Journal journal;
    journal.answer = c.answer;
    EXPECT_EQ(ContinueCmd(tidemetInfo(), journal, journal), c.state);
    EXPECT_EQ(journal.events, c.events);
  }
}

TEST(ExitProgram, SavesTheListsBeforeItAsks) {
  for (AlertAnswer answer : {AlertAnswer::Ok, AlertAnswer::Cancel}) {
    Journal journal;
    journal.answer = answer;
    bool ends = ExitProgram(tidemetInfo(), journal, journal,
                            [&] { journal.events.push_back("save lists"); });
    EXPECT_EQ(ends, answer == AlertAnswer::Ok);
    EXPECT_EQ(journal.events,
              (std::vector<std::string>{"save lists", "close help", "box:Tidemet"}));
    ASSERT_EQ(journal.shown.size(), 1u);
    EXPECT_EQ(journal.shown[0].text, "Exit Tidemet");
  }
}

class ProgramListsTest : public ::testing::Test {
 protected:
  void SetUp() override { s->WorkingFolder = folder.path().string() + "/"; }
  testing::ListFolder folder;
  std::unique_ptr<Session> s = std::make_unique<Session>();
  RecordingAlerts alerts;
};

TEST_F(ProgramListsTest, ADamagedClientListIsNeitherLostNorOverwritten) {
  const std::string damaged = "\"Ana Lima   \r\n";  // an unclosed quote
  folder.write("client.lst", damaged);
  ProgramLists lists(*s);
  EXPECT_FALSE(lists.save(alerts));
  EXPECT_EQ(folder.read("client.lst"), damaged);
  EXPECT_FALSE(folder.has("company.lst"));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_NE(alerts.shown[0].text.find("were not saved"), std::string::npos);
}

using testing::CompanyRecord1;
using testing::ListFolder;

// A units switch made in the monitor reaches the client list that Exit saves.
class ClientListUnitsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder.write("company.lst", CompanyRecord1(0, "1", 18, 1, 1, 1));
    folder.write("client.lst", "\"" + MakeClientEntry("Ana Lima", "AL", "165", "58", "") +
                                   "\"\r\n\"" + MakeClientEntry("Ben Ode", "BO", "180", "80", "") +
                                   "\"\r\n");
    start();
  }
  // The program's start: the session from the lists, then the whole client list.
  void start() {
    s = std::make_unique<Session>();
    lists = std::make_unique<ProgramLists>(*s);
    StartupEnvironment env;
    env.workingFolder = folder.path();
    ASSERT_FALSE(MainFormLoad(*s, info, env, alerts));
    ASSERT_FALSE(lists->load());
  }
  std::string entryOnDisk(int index) {
    std::vector<std::string> entries;
    EXPECT_FALSE(ReadClientList(folder.read("client.lst"), entries));
    return index < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(index)] : "";
  }

  ListFolder folder;
  std::unique_ptr<Session> s;
  std::unique_ptr<ProgramLists> lists;
  AppInfo info;
  RecordingAlerts alerts;
};

TEST_F(ClientListUnitsTest, ListSavedAfterAUnitsSwitchIsInTheNewUnits) {
  const int16_t handArea = s->SegmentAreas[0];
  SwitchUnits(*s, false);
  ASSERT_TRUE(lists->save(alerts));
  // 165 cm = 64.96 in, 58 kg = 127.6 lbs; every entry is converted the same way.
  EXPECT_EQ(EntryHeight(entryOnDisk(0)), "65 ");
  EXPECT_EQ(EntryWeight(entryOnDisk(0)), "128");
  EXPECT_EQ(EntryWeight(entryOnDisk(1)), "176");

  // The restart reads the client in US units and finds the same body.
  start();
  EXPECT_EQ(s->UnitsFlag, 0);
  EXPECT_EQ(s->ClientHeight, "65 ");
  EXPECT_EQ(s->SegmentAreas[0], handArea);

  // And back to metric, for the second time round.
  SwitchUnits(*s, true);
  ASSERT_TRUE(lists->save(alerts));
  EXPECT_EQ(EntryHeight(entryOnDisk(0)), "165");
  EXPECT_EQ(EntryWeight(entryOnDisk(0)), "58 ");
  EXPECT_TRUE(alerts.shown.empty());
}

TEST_F(ClientListUnitsTest, TheListIsConvertedOncePerChangeOfUnits) {
  const std::string before = folder.read("client.lst");
  // There and back again before the save: the file is written as it was read.
  SwitchUnits(*s, false);
  lists->clients();
  SwitchUnits(*s, true);
  ASSERT_TRUE(lists->save(alerts));
  EXPECT_EQ(folder.read("client.lst"), before);

  // An opened trial converts the list it is given itself: asking again converts nothing more.
  ClientListSeam& clients = lists->clients();
  SwitchUnits(*s, false);
  clients.convertUnits(false);
  EXPECT_EQ(EntryHeight(lists->clients().entry(0)), "65 ");
  ASSERT_TRUE(lists->save(alerts));
  EXPECT_EQ(EntryHeight(entryOnDisk(0)), "65 ");
}

}  // namespace
}  // namespace tidemet
