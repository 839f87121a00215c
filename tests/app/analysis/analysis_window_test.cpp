#include "app/analysis/analysis_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressDialog>
#include <QTableView>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "app/files/temp_folder.h"
#include "app/files/trial_file.h"
#include "trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::Trace;
using testing::WriteTrace;

// Column 0: four strokes; column 1: two strokes and a long rest.
void TwoHandTrace(Session& s) {
  WriteTrace(s, 0, Trace().strokes(4, 50, 300, 50, 300));
  WriteTrace(s, 1, Trace().strokes(2, 50, 300, 50, 300).hold(200, -300));
}

// A window on a session, opening and saving real files with the session's own context.
struct Fixture {
  explicit Fixture(std::unique_ptr<Session> trial) : s(std::move(trial)) {
    s->ClientName = s->DataClientName = "Ann Lee";
    AnalysisWindow::TrialFiles files{
        [this](const std::string& path) { return OpenTrialFile(*s, ctx, path); },
        [this](const std::string& path) { return SaveTrialFile(*s, ctx, path); },
        [this](Session& into, Alerts& a, const std::string& path) {
          ClientList copy = clients;
          TrialFileContext c{a, copy, comparison, summary};
          return OpenTrialFile(into, c, path);
        }};
    window = std::make_unique<AnalysisWindow>(*s, alerts, analyzer, std::move(files));
  }
  std::string cell(QTableView& view, int row, int column) {
    return view.model()->index(row, column).data().toString().toStdString();
  }
  std::unique_ptr<Session> s;
  RecordingAlerts alerts;
  RepetitionAnalyzer analyzer;
  ClientList clients{{"Ann Lee                               170    70     "}};
  NoComparison comparison;
  NoSummaryFile summary;
  TrialFileContext ctx{alerts, clients, comparison, summary};
  std::unique_ptr<AnalysisWindow> window;
};

std::string clipboard() { return QGuiApplication::clipboard()->text().toStdString(); }

// The PDF's text laid out as printed, pages separated by form feeds. The layout keeps the
// order of words on a line but not always the exact number of blanks between them, so runs of
// blanks become one.
std::string pdfText(const std::string& pdf) {
  const std::string txt = pdf + ".txt";
  const std::string command = "pdftotext -layout '" + pdf + "' '" + txt + "'";
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(txt);
  std::string text;
  for (char c; in.get(c);)
    if (c != ' ' || text.empty() || text.back() != ' ') text += c;
  return text;
}

TEST(AnalysisWindowTest, GridsOfEachModeTheirMeansAndTheirCopies) {
  Fixture f(MakeTrial(2, 400));
  TwoHandTrace(*f.s);
  f.window->showAnalysis();
  QTableView& grid = f.window->repetitionView();
  QTableView& means = f.window->meansView();
  struct Case {
    const char* item;
    std::vector<std::string> row3;
    std::string overallForce;
  } cases[] = {
      {"AnalysisModeMenu1", {"3", "0.50", "18.2", "0.49", "18.1", "", "", "", ""}, "18.2"},
      {"AnalysisModeMenu2", {"3", "0.50", "36.5", "0.49", "37.0", "", "", "", ""}, "36.5"},
  };
  for (const Case& c : cases) {
    f.window->action(c.item)->trigger();
    EXPECT_TRUE(f.window->action(c.item)->isChecked());
    ASSERT_EQ(grid.model()->rowCount(), 4) << c.item;
    for (int col = 0; col < 9; ++col)
      EXPECT_EQ(f.cell(grid, 3, col), c.row3[col]) << c.item << " " << col;
    EXPECT_EQ(f.cell(means, 3, 2), c.overallForce) << c.item;
  }
  EXPECT_EQ(f.cell(means, 0, 0), "Reps 1-1");
  EXPECT_EQ(f.cell(means, 3, 0), "Reps 1-2");
  EXPECT_FALSE(f.window->swimLine().isVisibleTo(f.window.get()));

  // US units: forces in pounds, the title says so; back to metric gives the first values again.
  f.window->action("AnalysisUnitsMenu1")->trigger();
  EXPECT_EQ(f.cell(grid, 3, 2), "8.2");
  EXPECT_EQ(f.s->analysis.grids.gridTitle, " Avg Force        (lbs)");
  f.window->action("AnalysisUnitsMenu0")->trigger();
  EXPECT_EQ(f.cell(grid, 3, 2), "36.5");

  // The copies take what the grids show.
  f.window->action("AnalysisModeMenu1")->trigger();
  f.window->CopyMenu();
  EXPECT_TRUE(clipboard().starts_with("0\t0.49\t18.1\t") &&
              clipboard().ends_with("\r3\t0.50\t18.2\t0.49\t18.1\t\t\t\t"))
      << clipboard();
  // The rows the user selected, in the grid's order.
  QItemSelectionModel* selection = f.window->repetitionView().selectionModel();
  const auto rows = QItemSelectionModel::Select | QItemSelectionModel::Rows;
  selection->select(f.window->repetitionView().model()->index(2, 3), rows);
  selection->select(f.window->repetitionView().model()->index(1, 0), rows);
  f.window->CopySelVals();
  EXPECT_EQ(clipboard(),
            "1\t0.50\t18.2\t0.50\t18.2\t0.50\t18.2\t2.49\t93.1\r2\t0.50\t18.2\t0.50\t18.2\t\t\t\t");
  f.window->CopyMeanMenu();
  EXPECT_EQ(clipboard(), "0.50\t18.2\t0.50\t18.2\t\t\t\t");

  // Samples: raw and smoothed (the smoothed plotted trace of the graphs) differ at sample 3.
  Fixture small(MakeTrial(2, 3));
  small.s->GraphGain = 0.5f;
  WriteTrace(*small.s, 0, Trace().hold(1, 0).hold(1, 80).hold(1, 40).hold(1, 40));
  WriteTrace(*small.s, 1, Trace().hold(4, 8));
  small.window->CopyDataMenu();
  EXPECT_TRUE(clipboard().ends_with("\r3\t0.03\t5\t1")) << clipboard();
  small.window->CopySmoothDataMenu();
  EXPECT_TRUE(clipboard().ends_with("\r3\t0.03\t6.8\t1")) << clipboard();

  // Comments: copy enables paste; paste and delete go through the box into the trial.
  f.window->commentsBox().setPlainText("strong left\nweak right");
  EXPECT_EQ(f.s->Comments, "strong left\r\nweak right");
  EXPECT_FALSE(f.window->action("PasteComMenu")->isEnabled());
  f.window->CopyComMenu();
  EXPECT_EQ(clipboard(), "strong left\r\nweak right");
  EXPECT_TRUE(f.window->action("PasteComMenu")->isEnabled());
  f.window->ADelCommentsMenu();
  EXPECT_EQ(f.s->Comments, "");
  f.window->PasteComMenu();
  EXPECT_EQ(f.s->Comments, "strong left\r\nweak right");
}

TEST(AnalysisWindowTest, FortyRepetitionsPrintTwoPagesToAPdfPrinter) {
  testing::TempFolder folder;
  Fixture f(MakeTrial(2, 4000));
  for (int d = 0; d < 2; ++d) WriteTrace(*f.s, d, Trace().strokes(40, 50, 300, 50, 300));
  f.s->Comments =
      "The client kept a steady rhythm through the whole set and tired only in the last "
      "five repetitions of the left hand.";
  f.window->showAnalysis();
  const std::string pdf = (folder.path() / "report.pdf").string();
  for (int run = 0; run < 2; ++run) {  // a second print behaves as the first
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(f.window->printReport(printer));
    const std::string text = pdfText(pdf);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 2) << text;  // two pages
    const std::string page2 = text.substr(text.find('\f'));
    EXPECT_NE(text.find("Page: 1"), std::string::npos);
    EXPECT_NE(page2.find("Page: 2"), std::string::npos);
    EXPECT_NE(page2.find(" 39 0.50 37.5 0.49 37.5 0.50 37.5 0.49 37.5\n"), std::string::npos)
        << page2;
    EXPECT_NE(page2.find("last five repetitions of the left hand."), std::string::npos);
  }
}

TEST(AnalysisWindowTest, AutomaticCopyOfTwoHundredFilesCanBeCancelledFromItsDialog) {
  testing::TempFolder folder;
  Fixture f(MakeTrial(2, 400));
  TwoHandTrace(*f.s);
  for (int i = 0; i < 200; ++i) {
    const std::string name = "t" + std::to_string(1000 + i) + ".dat";
    ASSERT_TRUE(SaveTrialFile(*f.s, f.ctx, (folder.path() / name).string()));
  }
  f.window->setFileFolder(QString::fromStdString(folder.path().string()));
  ASSERT_EQ(f.window->listedFiles().size(), 200u);
  f.window->show();

  // The dialog is watched from the event loop the run keeps turning; Cancel once it has shown
  // ten files done.
  int shownAt = -1;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    for (QProgressDialog* dialog : f.window->findChildren<QProgressDialog*>()) {
      if (dialog->isVisible() && dialog->maximum() == 200 && dialog->value() >= 10 && shownAt < 0) {
        shownAt = dialog->value();
        dialog->cancel();
      }
    }
  });
  watch.start(1);
  f.window->AutocopyMenu();
  watch.stop();
  ASSERT_GE(shownAt, 10);
  const std::string clip = clipboard();
  const auto rows = std::count(clip.begin(), clip.end(), '\r') + 1;
  EXPECT_GE(rows, shownAt);
  EXPECT_LT(rows, 200);
  EXPECT_TRUE(f.alerts.shown.empty());  // nothing was skipped
}

}  // namespace
}  // namespace tidemet
