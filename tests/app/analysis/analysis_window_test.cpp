#include "app/analysis/analysis_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QTableView>
#include <QTimer>

#include "app/files/temp_folder.h"
#include "app/files/trial_file.h"
#include "trace_builder.h"

namespace tidemet {
namespace {

using testing::MakeTrial;
using testing::Trace;
using testing::WriteTrace;

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
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("pdftotext"), {"-layout", QString::fromStdString(pdf), "-"});
  pdftotext.waitForFinished(60000);
  std::string text;
  for (char c : pdftotext.readAllStandardOutput().toStdString())
    if (c != ' ' || text.empty() || text.back() != ' ') text += c;
  return text;
}

TEST(AnalysisWindowTest, GridsOfEachModeTheirMeansAndTheirCopies) {
  Fixture f(testing::TwoHandTrial());
  f.window->showAnalysis();
  QTableView& grid = f.window->repetitionView();
  // Each mode menu shows the core's rows: repetition 3's positive force of that mode.
  for (const auto& [item, force] :
       {std::pair{"AnalysisModeMenu1", "18.2"}, std::pair{"AnalysisModeMenu2", "36.5"}}) {
    f.window->action(item)->trigger();
    EXPECT_TRUE(f.window->action(item)->isChecked());
    ASSERT_EQ(grid.model()->rowCount(), 4) << item;
    EXPECT_EQ(f.cell(grid, 3, 2), force) << item;
  }
  EXPECT_EQ(f.cell(f.window->meansView(), 3, 0), "Reps 1-2");
  EXPECT_FALSE(f.window->swimLine().isVisibleTo(f.window.get()));

  // US units: forces in pounds; back to metric gives the first values again.
  f.window->action("AnalysisUnitsMenu1")->trigger();
  EXPECT_EQ(f.cell(grid, 3, 2), "8.2");
  f.window->action("AnalysisUnitsMenu0")->trigger();
  EXPECT_EQ(f.cell(grid, 3, 2), "36.5");

  // The copies take what the grids show: the rows the user selected, in the grid's order.
  f.window->action("AnalysisModeMenu1")->trigger();
  f.window->CopyMenu();
  EXPECT_TRUE(clipboard().ends_with("\r3\t0.50\t18.2\t0.49\t18.1\t\t\t\t")) << clipboard();
  QItemSelectionModel* selection = grid.selectionModel();
  const auto rows = QItemSelectionModel::Select | QItemSelectionModel::Rows;
  selection->select(grid.model()->index(2, 3), rows);
  selection->select(grid.model()->index(1, 0), rows);
  f.window->CopySelVals();
  EXPECT_EQ(clipboard(),
            "1\t0.50\t18.2\t0.50\t18.2\t0.50\t18.2\t2.49\t93.1\r2\t0.50\t18.2\t0.50\t18.2\t\t\t\t");

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
    EXPECT_NE(page2.find(" 39 0.50 37.5 0.49 37.5 0.50 37.5 0.49 37.5\n"), std::string::npos)
        << page2;
  }
}

TEST(AnalysisWindowTest, AutomaticCopyOfTwoHundredFilesCanBeCancelledFromItsDialog) {
  testing::TempFolder folder;
  Fixture f(testing::TwoHandTrial());
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
