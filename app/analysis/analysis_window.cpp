#include "app/analysis/analysis_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "app/analysis/analysis_grids.h"
#include "app/analysis/clip_texts.h"
#include "app/analysis/performance_report.h"
#include "app/analysis/recompute_analysis.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/ui/report_dialogs.h"
#include "app/ui/report_renderer.h"
#include "app/ui/text_table_model.h"
#include "app/ui/trial_export_dialog.h"

namespace tidemet {
namespace {

const QString kFileFilter = QStringLiteral("Tidemet Data (*.dat);;Tidemet Summary (*.sum)");

QString title(const std::string& what) {
  return QString::fromStdString(std::string(AppTitle) + " " + what);
}

// The progress of an automatic run in a modal dialog whose Cancel stops the run between files.
class DialogProgress : public BatchProgress {
 public:
  DialogProgress(QWidget* parent, const QString& what)
      : dialog_(what, QObject::tr("Cancel"), 0, 1, parent) {
    dialog_.setWindowTitle(QString::fromLatin1(AppTitle.data(), AppTitle.size()));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setMinimumDuration(0);
  }
  bool next(int index, int count, const std::string& file) override {
    dialog_.setMaximum(std::max(count, 1));
    dialog_.setLabelText(QFileInfo(QString::fromStdString(file)).fileName());
    dialog_.setValue(index);
    QCoreApplication::processEvents();
    return !dialog_.wasCanceled();
  }

 private:
  QProgressDialog dialog_;
};

QStringList toQt(const std::array<std::string, 9>& titles) {
  QStringList list;
  for (const auto& t : titles) list << QString::fromStdString(t);
  return list;
}

}  // namespace

AnalysisWindow::AnalysisWindow(Session& session, Alerts& alerts, RepetitionAnalyzer& analyzer,
                               TrialFiles files, QWidget* parent)
    : QMainWindow(parent),
      s_(session),
      alerts_(alerts),
      analyzer_(analyzer),
      files_(std::move(files)) {
  setObjectName(QStringLiteral("An"));
  buildCentre();
  buildMenus();
  setMinimumWidth(760);
  resize(900, 640);
}

AnalysisWindow::~AnalysisWindow() = default;

QAction* AnalysisWindow::action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void AnalysisWindow::buildMenus() {
  auto item = [this](QMenu* menu, const QString& text, const char* name, auto slot) {
    QAction* a = menu->addAction(text, this, slot);
    a->setObjectName(QString::fromLatin1(name));
    return a;
  };
  auto group = [this](QMenu* menu, const std::vector<QString>& captions, const char* prefix,
                      std::function<void(int)> choose) {
    std::vector<QAction*> actions;
    for (size_t i = 0; i < captions.size(); ++i) {
      QAction* a = menu->addAction(captions[i]);
      a->setCheckable(true);
      a->setObjectName(QString::fromLatin1(prefix) + QString::number(i));
      connect(a, &QAction::triggered, this, [choose, i] { choose(static_cast<int>(i)); });
      actions.push_back(a);
    }
    return actions;
  };

  QMenu* file = menuBar()->addMenu(tr("&File"));
  item(file, tr("&Open..."), "AOpenMenu", &AnalysisWindow::AOpenMenu);
  item(file, tr("&Save..."), "ASaveMenu", &AnalysisWindow::ASaveMenu);
  QAction* exportTrial = file->addAction(tr("&Export..."));
  exportTrial->setObjectName(QStringLiteral("ExportMenu"));
  connect(exportTrial, &QAction::triggered, this,
          [this] { ExportTrialWithDialog(this, s_, alerts_); });
  file->addSeparator();
  item(file, tr("&Print..."), "APrintMenu", &AnalysisWindow::APrintMenu);
  item(file, tr("Export P&DF..."), "ExportPdfMenu", &AnalysisWindow::ExportPdfMenu);
  file->addSeparator();
  connect(file->addAction(tr("Choose &Folder...")), &QAction::triggered, this, [this] {
    const QString folder = QFileDialog::getExistingDirectory(this, title("Folder"), folder_);
    if (!folder.isEmpty()) setFileFolder(folder);
  });
  item(file, tr("Automatic &Copy"), "AutocopyMenu", &AnalysisWindow::AutocopyMenu);
  item(file, tr("Automatic P&rint..."), "AutoprintMenu", &AnalysisWindow::AutoprintMenu);
  file->addSeparator();
  connect(file->addAction(tr("&Close")), &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  item(edit, tr("&Copy"), "CopyMenu", &AnalysisWindow::CopyMenu)->setShortcut(QKeySequence::Copy);
  item(edit, tr("Copy &Selected Values"), "CopySelVals", &AnalysisWindow::CopySelVals);
  item(edit, tr("Copy &Means"), "CopyMeanMenu", &AnalysisWindow::CopyMeanMenu);
  item(edit, tr("Copy &Data"), "CopyDataMenu", &AnalysisWindow::CopyDataMenu);
  item(edit, tr("Copy S&moothed Data"), "CopySmoothDataMenu", &AnalysisWindow::CopySmoothDataMenu);
  edit->addSeparator();
  item(edit, tr("Copy C&omments"), "CopyComMenu", &AnalysisWindow::CopyComMenu);
  pasteComments_ = item(edit, tr("&Paste Comments"), "PasteComMenu", &AnalysisWindow::PasteComMenu);
  pasteComments_->setEnabled(false);
  item(edit, tr("D&elete Comments"), "ADelCommentsMenu", &AnalysisWindow::ADelCommentsMenu);

  QMenu* channels = menuBar()->addMenu(tr("&Channels"));
  pairItems_ =
      group(channels,
            {tr("Channels &1-2"), tr("Channels &3-4"), tr("Channels &5-6"), tr("Channels &7-8")},
            "AChannelMenu", [this](int i) { selectPair(i); });
  QMenu* filter = menuBar()->addMenu(tr("F&ilter"));
  filterItems_ = group(filter, {"", "", "", ""}, "AFilterMenu", [this](int i) { selectFilter(i); });
  QMenu* analysis = menuBar()->addMenu(tr("&Analysis"));
  modeItems_ = group(analysis, {tr("&Peak Force"), tr("&Impulse"), tr("&Avg Force")},
                     "AnalysisModeMenu", [this](int i) { selectMode(i); });
  QMenu* units = menuBar()->addMenu(tr("&Units"));
  unitItems_ = group(units, {tr("&Metric"), tr("&US")}, "AnalysisUnitsMenu",
                     [this](int i) { selectUnits(i == 0); });
}

void AnalysisWindow::buildCentre() {
  auto* centre = new QWidget(this);
  auto* layout = new QVBoxLayout(centre);
  auto* titles = new QHBoxLayout;
  modeTitle_ = new QLabel(centre);
  gridTitle_ = new QLabel(centre);
  QFont bold = modeTitle_->font();
  bold.setBold(true);
  modeTitle_->setFont(bold);
  titles->addWidget(modeTitle_);
  titles->addStretch(1);
  titles->addWidget(gridTitle_);
  layout->addLayout(titles);

  auto makeView = [centre](TextTableModel*& model) {
    model = new TextTableModel(centre);
    auto* view = new QTableView(centre);
    view->setModel(model);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    // The first column holds the repetition numbers above and the means' row labels below.
    view->horizontalHeader()->setMinimumSectionSize(40);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->verticalHeader()->hide();
    // Both grids keep a scroll bar's width so their columns line up.
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return view;
  };
  repetitions_ = makeView(repetitionModel_);
  repetitions_->setObjectName(QStringLiteral("MSFlexGrid1"));
  means_ = makeView(meansModel_);
  means_->setObjectName(QStringLiteral("MSFlexGrid2"));
  means_->horizontalHeader()->hide();
  means_->setFixedHeight(4 * (means_->fontMetrics().height() + 4) + 6);

  swimLine_ = new QLabel(centre);
  swimLine_->setObjectName(QStringLiteral("SwimLine"));
  swimLine_->hide();
  comments_ = new QPlainTextEdit(centre);
  comments_->setObjectName(QStringLiteral("CommentsText"));
  comments_->setPlaceholderText(tr("Comments"));
  comments_->setMaximumHeight(90);
  connect(comments_, &QPlainTextEdit::textChanged, this, &AnalysisWindow::takeComments);

  auto* left = new QWidget(centre);
  auto* leftLayout = new QVBoxLayout(left);
  leftLayout->setContentsMargins(0, 0, 0, 0);
  leftLayout->addWidget(repetitions_, 1);
  leftLayout->addWidget(means_);
  leftLayout->addWidget(swimLine_);
  leftLayout->addWidget(comments_);

  auto* right = new QWidget(centre);
  auto* rightLayout = new QVBoxLayout(right);
  rightLayout->setContentsMargins(0, 0, 0, 0);
  folderLabel_ = new QLabel(tr("Trial files: choose a folder in the File menu."), right);
  folderLabel_->setWordWrap(true);
  fileList_ = new QListWidget(right);
  fileList_->setObjectName(QStringLiteral("File1"));
  connect(fileList_, &QListWidget::itemActivated, this, [this](QListWidgetItem* it) {
    openFile(it->data(Qt::UserRole).toString().toStdString());
  });
  rightLayout->addWidget(folderLabel_);
  rightLayout->addWidget(fileList_, 1);

  auto* split = new QSplitter(centre);
  split->addWidget(left);
  split->addWidget(right);
  split->setStretchFactor(0, 4);
  split->setStretchFactor(1, 1);
  layout->addWidget(split, 1);
  setCentralWidget(centre);
}

void AnalysisWindow::showAnalysis() {
  RecomputeAnalysis();
  show();
  raise();
  activateWindow();
}

void AnalysisWindow::RecomputeAnalysis() {
  tidemet::RecomputeAnalysis(s_, analyzer_, alerts_);
  showResults();
}

void AnalysisWindow::showResults() {
  const AnalysisGrids& g = s_.analysis.grids;
  setWindowTitle(QString::fromStdString(g.caption));
  modeTitle_->setText(QString::fromStdString(g.modeTitle));
  gridTitle_->setText(QString::fromStdString(g.gridTitle));
  repetitionModel_->setRows(g.rows, toQt(GridColumnTitles(s_)));
  // The means grid shows its row labels in a first column so that its value columns stand
  // under those of the repetition grid.
  std::vector<std::array<std::string, 9>> meanRows(4);
  for (size_t r = 0; r < 4; ++r) {
    meanRows[r][0] = g.meanLabels[r];
    std::copy(g.means[r].begin(), g.means[r].end(), meanRows[r].begin() + 1);
  }
  meansModel_->setRows(meanRows, toQt(GridColumnTitles(s_)));
  for (QTableView* view : {repetitions_, means_}) {
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Fixed);
    view->setColumnWidth(
        0, view->fontMetrics().horizontalAdvance(QStringLiteral("Reps 100-198")) + 12);
  }
  swimLine_->setText(QString::fromStdString(s_.analysis.swim.line));
  swimLine_->setVisible(s_.analysis.swim.shown);
  const QString comments = QString::fromStdString(WithLineFeeds(s_.Comments));
  if (comments_->toPlainText() != comments) {
    const QSignalBlocker block(comments_);
    comments_->setPlainText(comments);
  }
  syncChecks();
}

void AnalysisWindow::syncChecks() {
  const auto captions = FilterCaptions(s_);
  for (size_t i = 0; i < filterItems_.size(); ++i) {
    filterItems_[i]->setText(QString::fromStdString(captions[i]));
    filterItems_[i]->setChecked(static_cast<int>(i) == filterItem_);
  }
  for (size_t i = 0; i < pairItems_.size(); ++i) {
    pairItems_[i]->setChecked(static_cast<int>(i) * 2 == s_.PairStartChannel ||
                              (s_.ModelCode == 23 && i == 1 && s_.PairStartChannel == 2));
    // Pairs the trial holds; a two-channel trial keeps the pair it was recorded on.
    pairItems_[i]->setEnabled(pairItems_[i]->isChecked() ||
                              static_cast<int>(i) * 2 + 1 < std::max<int>(s_.ChannelCount, 2));
  }
  for (size_t i = 0; i < modeItems_.size(); ++i)
    modeItems_[i]->setChecked(static_cast<int>(i) == s_.analysis.AnalysisMode);
  unitItems_[0]->setChecked(s_.UnitsFlag == 1);
  unitItems_[1]->setChecked(s_.UnitsFlag != 1);
}

void AnalysisWindow::takeComments() {
  std::string text = comments_->toPlainText().toStdString();
  std::string crlf;
  for (char c : text) crlf += c == '\n' ? std::string(CrLf) : std::string(1, c);
  s_.Comments = crlf;
}

void AnalysisWindow::selectPair(int item) {
  SetPair(s_, item);
  RecomputeAnalysis();
}

void AnalysisWindow::selectFilter(int item) {
  // The detector sets its own peak floor; the filter changes the check mark only.
  filterItem_ = std::clamp(item, 0, 3);
  RecomputeAnalysis();
}

void AnalysisWindow::selectMode(int mode) {
  s_.analysis.AnalysisMode = static_cast<int16_t>(std::clamp(mode, 0, 2));
  RecomputeAnalysis();
}

void AnalysisWindow::selectUnits(bool metric) {
  SwitchUnits(s_, metric);
  RecomputeAnalysis();
}

void AnalysisWindow::copyToClipboard(const std::string& text) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(QString::fromStdString(text));
}

void AnalysisWindow::CopyDataMenu() { copyToClipboard(SampleClipText(s_, false)); }
void AnalysisWindow::CopySmoothDataMenu() { copyToClipboard(SampleClipText(s_, true)); }
void AnalysisWindow::CopyMeanMenu() { copyToClipboard(MeansClipText(MeansGridOf(s_))); }
void AnalysisWindow::CopyMenu() { copyToClipboard(GridClipText(RepetitionGrid(s_))); }

void AnalysisWindow::CopySelVals() {
  std::vector<int> rows;
  for (const QModelIndex& index : repetitions_->selectionModel()->selectedIndexes())
    rows.push_back(index.row());
  copyToClipboard(SelectedRowsClipText(RepetitionGrid(s_), rows));
}

void AnalysisWindow::CopyComMenu() {
  copyToClipboard(s_.Comments);
  pasteComments_->setEnabled(true);
}

void AnalysisWindow::PasteComMenu() {
  comments_->setPlainText(
      QGuiApplication::clipboard()->text().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void AnalysisWindow::ADelCommentsMenu() { comments_->clear(); }

bool AnalysisWindow::printReport(QPagedPaintDevice& device) {
  ReportRenderer renderer(device);
  return renderer.add(PerformanceReport(s_, FileDateText(s_.CurrentFileName))) && renderer.finish();
}

void AnalysisWindow::APrintMenu() {
  PrintReportWithDialog(this, title("Print"),
                        PerformanceReport(s_, FileDateText(s_.CurrentFileName)), alerts_);
}

void AnalysisWindow::ExportPdfMenu() {
  QString suggested = QString::fromStdString(s_.CurrentFileName);
  suggested = suggested.isEmpty()
                  ? QStringLiteral("report.pdf")
                  : QFileInfo(suggested).completeBaseName() + QStringLiteral(".pdf");
  ExportReportPdfWithDialog(this, title("Export PDF"), suggested,
                            PerformanceReport(s_, FileDateText(s_.CurrentFileName)), alerts_);
}

bool AnalysisWindow::openFile(const std::string& path) {
  if (!files_.open || !files_.open(path)) return false;
  RecomputeAnalysis();
  return true;
}

void AnalysisWindow::AOpenMenu() {
  const QString path = QFileDialog::getOpenFileName(this, title("File Open"), folder_, kFileFilter);
  if (!path.isEmpty()) openFile(path.toStdString());
}

void AnalysisWindow::ASaveMenu() {
  QFileDialog dialog(this, title("File Save"), QString::fromStdString(s_.CurrentFileName),
                     kFileFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("dat"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !files_.save)
    return;
  if (files_.save(dialog.selectedFiles().first().toStdString())) showResults();
}

void AnalysisWindow::setFileFolder(const QString& folder) {
  folder_ = folder;
  folderLabel_->setText(tr("Trial files in %1").arg(folder));
  fileList_->clear();
  for (const std::string& path : DataFilesIn(folder.toStdString())) {
    auto* it = new QListWidgetItem(QFileInfo(QString::fromStdString(path)).fileName(), fileList_);
    it->setData(Qt::UserRole, QString::fromStdString(path));
  }
}

std::vector<std::string> AnalysisWindow::listedFiles() const {
  std::vector<std::string> files;
  for (int i = 0; i < fileList_->count(); ++i)
    files.push_back(fileList_->item(i)->data(Qt::UserRole).toString().toStdString());
  return files;
}

AutoCopyResult AnalysisWindow::runAutoCopy(BatchProgress& progress) {
  AutoCopyResult result = AutoCopy(s_, listedFiles(), files_.batchOpen, progress);
  if (!result.rows.empty()) copyToClipboard(result.clipText());
  return result;
}

AutoPrintResult AnalysisWindow::runAutoPrint(QPagedPaintDevice& device, BatchProgress& progress) {
  ReportRenderer renderer(device);
  AutoPrintResult result = AutoPrint(s_, listedFiles(), files_.batchOpen, progress,
                                     [&](const ReportDocument& doc) { return renderer.add(doc); });
  if (result.printed > 0) renderer.finish();
  return result;
}

void AnalysisWindow::showSkipped(const BatchOutcome& outcome) {
  const std::string text = SkippedFilesText(outcome);
  if (!text.empty()) alerts_.show({std::string(AppTitle) + " Warning", text});
}

void AnalysisWindow::AutocopyMenu() {
  if (listedFiles().empty()) {
    alerts_.show({std::string(AppTitle), "Choose a folder that holds trial files first."});
    return;
  }
  DialogProgress progress(this, tr("Copying the means of each file..."));
  showSkipped(runAutoCopy(progress));
}

void AnalysisWindow::AutoprintMenu() {
  if (listedFiles().empty()) {
    alerts_.show({std::string(AppTitle), "Choose a folder that holds trial files first."});
    return;
  }
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(title("Automatic Print"));
  if (dialog.exec() != QDialog::Accepted) return;
  DialogProgress progress(this, tr("Printing the report of each file..."));
  const AutoPrintResult result = runAutoPrint(printer, progress);
  showSkipped(result);
}

void AnalysisWindow::closeEvent(QCloseEvent* event) {
  takeComments();
  QMainWindow::closeEvent(event);
}

}  // namespace tidemet
