#include "app/clients/client_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPdfWriter>

#include "app/clients/client_editor_dialog.h"
#include "app/files/client_entry.h"
#include "app/files/temp_folder.h"
#include "app/ui/client_list_printing.h"

namespace tidemet {
namespace {

struct ClientWindowTest : ::testing::Test {
  ClientWindowTest() {
    TakeClientFromEntry(s, list.entry(0));
    s.SampleCount = 500;
    s.CurrentFileName = "/trials/ann1.dat";
    ClientWindowLinks links;
    links.saveLists = [this] { return ++saves > 0; };
    links.hasWindow = [](DataTarget t) { return t == DataTarget::Monitor; };
    links.showWindow = [this](DataTarget t) { shown.push_back(t); };
    window = std::make_unique<ClientWindow>(s, list, alerts, comparison, analyzer, links);
    window->showClients();
  }

  void type(ClientField field, const QString& text) {
    QLineEdit* edit = window->editor().field(field);
    edit->clear();
    // Typed as one key press carrying the text, as an input method delivers it.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(edit, &press);
  }
  QString shownText(ClientField field) { return window->editor().field(field)->text(); }

  Session s;
  ClientList list{{MakeClientEntry("Ann Avery", "AA01", "170", "70", "Dr. Lee"),
                   MakeClientEntry("Bob Brown", "BB02", "122", "23", ""),
                   MakeClientEntry("Cy Chen", "CC03", "229", "136", "Dr. Moss")}};
  RecordingAlerts alerts;
  NoComparison comparison;
  RepetitionAnalyzer analyzer;
  int saves = 0;
  std::vector<DataTarget> shown;
  std::unique_ptr<ClientWindow> window;
};

// The editor's rules act on what is typed and when the field is left; Continue refuses a name
// the list cannot store and keeps the box open with it, then appends.
TEST_F(ClientWindowTest, AddAppendsTheTypedClient) {
  EXPECT_EQ(list.selected(), 0);  // the current client is highlighted
  window->AddClientMenu();
  ClientEditor& ed = window->editor();
  ASSERT_TRUE(ed.isVisible());
  type(ClientField::Name, QString::fromUtf8("Li 山田"));
  ed.ContinueCmd();
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_TRUE(ed.isVisible());
  EXPECT_EQ(shownText(ClientField::Name), QString::fromUtf8("Li 山田"));
  type(ClientField::Name, "  Dora Diaz-Abercrombie-Smythe");
  EXPECT_EQ(shownText(ClientField::Name), "Dora Diaz-Abercrom");
  type(ClientField::Weight, "500");
  emit ed.field(ClientField::Weight)->editingFinished();  // the field loses the focus
  EXPECT_EQ(shownText(ClientField::Weight), "136");
  type(ClientField::Height, "95");  // Continue by the Enter key, still in the field
  ed.ContinueCmd();

  EXPECT_FALSE(ed.isVisible());
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list.entry(3), MakeClientEntry("Dora Diaz-Abercrom", "", "122", "136", ""));
  EXPECT_EQ(window->listView().model()->rowCount(), 4);
  EXPECT_EQ(s.ClientName, "Ann Avery");
}

TEST_F(ClientWindowTest, EditThenCancelKeepsTheClientInItsPlace) {
  const std::vector<std::string> before = list.entries();
  window->ClientListClick(1);
  window->EditClientMenu();
  EXPECT_EQ(shownText(ClientField::Name), "Bob Brown");
  type(ClientField::Name, "Robert Brown");
  window->editor().CancelCmd();
  EXPECT_EQ(list.entries(), before);
  EXPECT_EQ(window->listView().currentIndex().row(), 1);

  // The second edit goes through, into the same place.
  window->EditClientMenu();
  EXPECT_EQ(shownText(ClientField::Name), "Bob Brown");
  type(ClientField::Height, "180");
  window->editor().ContinueCmd();
  EXPECT_EQ(list.entry(1), MakeClientEntry("Bob Brown", "BB02", "180", "23", ""));

  window->ClientListClick(2);
  window->DeleteClientMenu();
  EXPECT_EQ(window->listView().model()->rowCount(), 2);
}

// A click in the list, as the view reports it, chooses the client; leaving saves the list and
// shows the window asked for, if the program has it.
TEST_F(ClientWindowTest, LeavingForTheMonitorWithAnotherClientClearsTheTrial) {
  window->listView().setCurrentIndex(window->listView().model()->index(2, 0));
  EXPECT_EQ(s.ClientName, "Cy Chen");
  window->LeaveFor(DataTarget::Monitor);
  EXPECT_EQ(s.SampleCount, 0);
  EXPECT_EQ(saves, 1);
  EXPECT_EQ(shown, std::vector<DataTarget>{DataTarget::Monitor});
  EXPECT_FALSE(window->isVisible());
  window->showClients();
  window->LeaveFor(DataTarget::Chart);
  EXPECT_EQ(shown.size(), 1u);

  // While a file's trial is open a click is undone in the view as well.
  s.OpenedFromFile = 1;
  s.FileClientName = "Cy Chen";
  window->listView().setCurrentIndex(window->listView().model()->index(1, 0));
  EXPECT_EQ(s.ClientName, "Cy Chen");
  EXPECT_EQ(window->listView().currentIndex().row(), 2);
}

TEST(ClientListPrinting, APdfHoldsEveryLineOnAsManyPagesAsNeeded) {
  testing::TempFolder folder;
  const QString path = QString::fromStdString((folder.path() / "clients.pdf").string());
  std::vector<std::string> entries;
  for (int i = 0; i < 300; ++i)
    entries.push_back(MakeClientEntry("Client " + std::to_string(i), "ID", "170", "70", ""));
  const auto lines = ClientListPrintLines(ClientList(entries), true, "Tidemet");

  QPdfWriter writer(path);
  EXPECT_GE(PaintClientListPages(writer, lines), 3);  // 304 lines of 10-point text need three
  EXPECT_TRUE(ExportClientListPdf(path + ".a4.pdf", lines));
}

}  // namespace
}  // namespace tidemet
