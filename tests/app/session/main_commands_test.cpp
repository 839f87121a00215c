#include "app/session/main_commands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/files/client_entry.h"
#include "app/session/program_lists.h"
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

TEST(Warning, SeventeenLinesWithOkAndCancel) {
  Alert box = WarningAlert(tidemetInfo());
  EXPECT_EQ(box.title, "Tidemet Warning");
  EXPECT_EQ(box.icon, AlertIcon::Exclamation);
  EXPECT_EQ(box.buttons, AlertButtons::OkCancel);
  EXPECT_TRUE(box.text.ends_with("SOURCE OR SELECT CANCEL TO EXIT."));
  size_t breaks = 0;
  for (size_t at = box.text.find("\r\n"); at != std::string::npos;
       at = box.text.find("\r\n", at + 2))
    ++breaks;
  EXPECT_EQ(breaks, 16u);
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
    EXPECT_EQ(journal.shown[0].icon, AlertIcon::Question);
    EXPECT_EQ(journal.shown[0].buttons, AlertButtons::OkCancel);
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

}  // namespace
}  // namespace tidemet
