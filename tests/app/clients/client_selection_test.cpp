#include "app/clients/client_selection.h"

#include <gtest/gtest.h>

#include "app/files/client_entry.h"

namespace tidemet {
namespace {

class CountingComparison : public NoComparison {
 public:
  int fileCount() const override { return files; }
  void clear() override { files = 0; }
  int files = 0;
};

struct ClientSelection : ::testing::Test {
  ClientSelection() {
    TakeClientFromEntry(s, list.entry(0));
    s.SampleCount = 500;
    s.TrialData[10] = 1234;
    s.CurrentFileName = "C:\\TRIALS\\ANN1.DAT";
    s.Comments = "first visit";
    s.TrialSeconds = 5.0f;
  }
  Session s;
  ClientList list{{MakeClientEntry("Ann Avery", "AA01", "170", "70", ""),
                   MakeClientEntry("Bob Brown", "BB02", "122", "23", "")}};
  CountingComparison comparison;
  RepetitionAnalyzer analyzer;
  RecordingAlerts alerts;
  int saves = 0;
  LeaveContext ctx{comparison, analyzer, alerts, [this] { return ++saves > 0; }};
};

TEST_F(ClientSelection, LeavingWithAnotherClientClearsTheTrial) {
  comparison.files = 2;
  s.analysis.SummaryHasResults = true;
  ASSERT_TRUE(ClickClient(s, list, 1));
  EXPECT_EQ(s.ClientName, "Bob Brown");
  EXPECT_EQ(s.ClientCode, "BB");
  EXPECT_EQ(s.DataClientName, "Ann Avery");  // the trial is still Ann's

  EXPECT_TRUE(LeaveForDataWindow(s, list, ctx));
  EXPECT_EQ(s.DataClientName, "Bob Brown");
  EXPECT_EQ(s.SampleCount, 0);
  EXPECT_EQ(s.TrialData[10], 0);
  EXPECT_EQ(s.CurrentFileName, "");
  EXPECT_EQ(s.Comments, "");
  EXPECT_EQ(s.TrialSeconds, 0.0f);
  EXPECT_EQ(comparison.files, 0);
  EXPECT_EQ(s.analysis.MostReps, 0);
  EXPECT_FALSE(s.analysis.SummaryHasResults);  // a summary's rows are not shown for the new trial
  EXPECT_EQ(saves, 1);

  // A new trial of the same client survives the next leave.
  s.SampleCount = 300;
  EXPECT_FALSE(LeaveForDataWindow(s, list, ctx));
  EXPECT_EQ(s.SampleCount, 300);
  EXPECT_EQ(saves, 2);
}

TEST_F(ClientSelection, AFileTrialKeepsItsClientAgainstClicks) {
  s.OpenedFromFile = 1;
  s.FileClientName = "Ann Avery";
  list.select(0);
  EXPECT_FALSE(ClickClient(s, list, 1));
  EXPECT_EQ(list.selected(), 0);
  EXPECT_EQ(s.ClientName, "Ann Avery");
  EXPECT_FALSE(LeaveForDataWindow(s, list, ctx));
  EXPECT_EQ(s.SampleCount, 500);
  EXPECT_FALSE(ClientNotListedAlert(s, list));
}

TEST_F(ClientSelection, AFileOfAnUnlistedClientStopsRecordingUntilResolved) {
  s.OpenedFromFile = 1;
  s.FileClientName = s.DataClientName = "Zed Zimmer";
  ASSERT_FALSE(ConfirmClientListed(s, list, alerts));
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].title, "Tidemet");
  EXPECT_EQ(alerts.shown[0].text,
            "Client: Zed Zimmer is not in the client database.\r\n"
            "Client must be in the database to monitor.\r\n"
            "Go to the Client window and add the client or select another client.");

  // Selecting another client is possible, and leaving puts the unlisted client's trial away.
  ASSERT_TRUE(ClickClient(s, list, 1));
  EXPECT_TRUE(LeaveForDataWindow(s, list, ctx));
  EXPECT_EQ(s.OpenedFromFile, 0);
  EXPECT_TRUE(ConfirmClientListed(s, list, alerts));
  EXPECT_EQ(alerts.shown.size(), 1u);
}

TEST_F(ClientSelection, LeavingWithNothingSelectedTakesTheFirstEntry) {
  s.DataClientName = "Bob Brown";
  ClientList empty;
  EXPECT_FALSE(ClickClient(s, empty, 0));
  EXPECT_TRUE(LeaveForDataWindow(s, list, ctx));
  EXPECT_EQ(list.selected(), 0);
  EXPECT_EQ(s.ClientName, "Ann Avery");
  EXPECT_EQ(s.ClientHeight, "170");
}

}  // namespace
}  // namespace tidemet
