#pragma once
// The analysis window `An`: the repetition grid and the means grid of the selected pair, the swim
// summary line, the comments box, the report on paper or as PDF, the clipboard copies and the
// automatic copy and print over a folder's trial files. Everything it shows comes from the core.

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "app/analysis/batch_runs.h"
#include "app/analysis/repetition_analyzer.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

class QAction;
class QLabel;
class QListWidget;
class QPagedPaintDevice;
class QPlainTextEdit;
class QPrinter;
class QTableView;

namespace tidemet {

class TextTableModel;

class AnalysisWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Opening and saving go through the same calls as the monitor's; each returns false when
  // nothing was opened or saved (the reason has been shown). `batchOpen` opens a file of an
  // automatic run into a session of its own, its refusal going to the alerts it is given.
  struct TrialFiles {
    std::function<bool(const std::string& path)> open;
    std::function<bool(const std::string& path)> save;
    TrialOpener batchOpen;
  };

  AnalysisWindow(Session& session, Alerts& alerts, RepetitionAnalyzer& analyzer, TrialFiles files,
                 QWidget* parent = nullptr);
  ~AnalysisWindow() override;

  // Analyses the trial in the session and shows it.
  void showAnalysis();
  // RecomputeAnalysis and the grids, titles, checks and swim line drawn again.
  void RecomputeAnalysis();

  // Menu commands (also reached by tests).
  void selectPair(int item);
  void selectFilter(int item);
  void selectMode(int mode);
  void selectUnits(bool metric);
  void APrintMenu();
  void ExportPdfMenu();
  void CopyDataMenu();
  void CopySmoothDataMenu();
  void CopyMeanMenu();
  void CopySelVals();
  void CopyMenu();
  void CopyComMenu();
  void PasteComMenu();
  void ADelCommentsMenu();
  void AOpenMenu();
  void ASaveMenu();
  void AutocopyMenu();
  void AutoprintMenu();

  bool openFile(const std::string& path);
  // The performance report drawn on `device` (a printer or a PDF writer); false when it failed.
  bool printReport(QPagedPaintDevice& device);
  // The automatic runs over the file list, with their progress shown by `progress`.
  AutoCopyResult runAutoCopy(BatchProgress& progress);
  AutoPrintResult runAutoPrint(QPagedPaintDevice& device, BatchProgress& progress);

  // The folder whose trial files the file list shows.
  void setFileFolder(const QString& folder);
  std::vector<std::string> listedFiles() const;

  QTableView& repetitionView() const { return *repetitions_; }
  QTableView& meansView() const { return *means_; }
  QLabel& swimLine() const { return *swimLine_; }
  QPlainTextEdit& commentsBox() const { return *comments_; }
  QAction* action(const char* name) const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildMenus();
  void buildCentre();
  void showResults();
  void syncChecks();
  void copyToClipboard(const std::string& text);
  void showSkipped(const BatchOutcome& outcome);
  void takeComments();

  Session& s_;
  Alerts& alerts_;
  RepetitionAnalyzer& analyzer_;
  TrialFiles files_;
  int filterItem_ = 0;
  QString folder_;  // whose trial files the file list shows

  TextTableModel* repetitionModel_ = nullptr;
  TextTableModel* meansModel_ = nullptr;
  QTableView* repetitions_ = nullptr;
  QTableView* means_ = nullptr;
  QLabel* modeTitle_ = nullptr;
  QLabel* gridTitle_ = nullptr;
  QLabel* swimLine_ = nullptr;
  QPlainTextEdit* comments_ = nullptr;
  QListWidget* fileList_ = nullptr;
  QLabel* folderLabel_ = nullptr;
  QAction* pasteComments_ = nullptr;
  std::vector<QAction*> pairItems_, filterItems_, modeItems_, unitItems_;
};

}  // namespace tidemet
