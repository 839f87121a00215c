#include "app/compare/comparison_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QTableView>
#include <QVBoxLayout>

#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/ui/menu_items.h"
#include "app/ui/report_dialogs.h"
#include "app/ui/text_table_model.h"

namespace tidemet {
namespace {

QString title(const std::string& what) {
  return QString::fromStdString(std::string(AppTitle) + " " + what);
}

constexpr const char* kModeTitles[3] = {"Peak Force", "  Impulse", "Avg Force"};

}  // namespace

ComparisonWindow::ComparisonWindow(Session& session, Alerts& alerts, Comparison& comparison,
                                   std::function<void()> showChart,
                                   std::function<void()> showAnalysis, QWidget* parent)
    : QMainWindow(parent),
      s_(session),
      alerts_(alerts),
      comparison_(comparison),
      showChart_(std::move(showChart)),
      showAnalysis_(std::move(showAnalysis)) {
  setObjectName(QStringLiteral("Comp"));
  setWindowTitle(QStringLiteral(" Data Comparison"));

  auto* centre = new QWidget(this);
  auto* layout = new QVBoxLayout(centre);
  heading_ = new QLabel(centre);
  heading_->setObjectName(QStringLiteral("MeansTitle"));
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  layout->addWidget(heading_);
  model_ = new TextTableModel(centre);
  grid_ = new QTableView(centre);
  grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
  grid_->setModel(model_);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 6);
  grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  grid_->horizontalHeader()->setMinimumSectionSize(36);
  layout->addWidget(grid_, 1);
  setCentralWidget(centre);

  buildMenus();
  setMinimumSize(720, 300);
  resize(1040, 420);
  comparison_.setChangeListener([this] { showRows(); });
  showRows();
}

ComparisonWindow::~ComparisonWindow() { comparison_.setChangeListener({}); }

QAction* ComparisonWindow::action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void ComparisonWindow::buildMenus() {
  auto item = [this](QMenu* menu, const QString& text, const char* name, auto slot) {
    return AddNamedItem(menu, text, name, [this, slot] { (this->*slot)(); });
  };

  QMenu* file = menuBar()->addMenu(tr("&File"));
  item(file, tr("&Open..."), "CompOpenMenu", &ComparisonWindow::CompOpenMenu);
  item(file, tr("&Delete"), "CompDeleteMenu", &ComparisonWindow::CompDeleteMenu);
  item(file, tr("Delete &All"), "CompDeleteAllMenu", &ComparisonWindow::CompDeleteAllMenu);
  file->addSeparator();
  item(file, tr("&Print..."), "CompPrintMenu", &ComparisonWindow::CompPrintMenu);
  item(file, tr("Export P&DF..."), "ExportPdfMenu", &ComparisonWindow::ExportPdfMenu);
  file->addSeparator();
  connect(file->addAction(tr("&Close")), &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  item(edit, tr("&Copy Report"), "CompCopyReportMenu", &ComparisonWindow::CompCopyReportMenu)
      ->setShortcut(QKeySequence::Copy);

  QMenu* means = menuBar()->addMenu(tr("&Means"));
  meanItems_ = AddCheckGroup(
      means, {tr("&1st Half"), tr("&2nd Half"), tr("&% Change"), tr("&Overall")},
      {"CompBegMeanMenu", "CompEndMeanMenu", "CompPctChangeMenu", "CompOverallMeanMenu"},
      [this](int i) { selectMeanKind(i + 1); });
  QMenu* analysis = menuBar()->addMenu(tr("&Analysis"));
  modeItems_ = AddCheckGroup(analysis, {tr("&Peak Force"), tr("&Impulse"), tr("&Avg Force")},
                             {"CompForceMenu", "CompImpulseMenu", "CompAvForceMenu"},
                             [this](int i) { selectMode(i); });
  QMenu* units = menuBar()->addMenu(tr("&Units"));
  unitItems_ = AddCheckGroup(units, {tr("&Metric"), tr("&US")}, {"CompMetricMenu", "CompUSMenu"},
                             [this](int i) { selectUnits(i == 0); });
  QMenu* channels = menuBar()->addMenu(tr("&Channels"));
  pairItems_ = AddCheckGroup(
      channels,
      {tr("Channels &1-2"), tr("Channels &3-4"), tr("Channels &5-6"), tr("Channels &7-8")},
      {"Comp12Menu", "Comp34Menu", "Comp56Menu", "Comp78Menu"}, [this](int i) { selectPair(i); });
  channels->addSeparator();
  limbItems_ = AddCheckGroup(channels, {tr("A&rm"), tr("&Leg")}, {"CompArmMenu", "CompLegMenu"},
                             [this](int i) { selectLimb(i); });

  QMenu* go = menuBar()->addMenu(tr("&Window"));
  item(go, tr("C&hart"), "CompChartMenu", &ComparisonWindow::CompChartMenu);
  item(go, tr("&Analysis"), "CompAnalysisMenu", &ComparisonWindow::CompAnalysisMenu);
}

void ComparisonWindow::showComparison() {
  // The analysis window shares the mode, units and pair: what it changed shows here too.
  rebuild();
  showRows();
  show();
  raise();
  activateWindow();
}

void ComparisonWindow::showRows() {
  const int mode = std::clamp<int>(s_.analysis.AnalysisMode, 0, 2);
  heading_->setText(QStringLiteral("%1 - %2 means")
                        .arg(QString::fromLatin1(kModeTitles[mode]).trimmed(),
                             QString::fromStdString(MeanKindCaption(comparison_.meanKind()))));
  const ComparisonGridRow titles = comparison_.columnTitles(s_);
  QStringList headers;
  for (const std::string& t : titles) headers << QString::fromStdString(t);
  headers[0] = QStringLiteral("#");
  model_->setRows(comparison_.grid(), headers);
  QHeaderView* header = grid_->horizontalHeader();
  const QFontMetrics metrics = grid_->fontMetrics();
  const int fixed[3] = {metrics.horizontalAdvance(QStringLiteral("15")) + 16,
                        metrics.horizontalAdvance(QStringLiteral("MMMMMMMM.SUM")) + 16,
                        metrics.horizontalAdvance(QStringLiteral("00/00/0000 00:00:00")) + 16};
  for (int c = 0; c < 3; ++c) {
    header->setSectionResizeMode(c, QHeaderView::Fixed);
    grid_->setColumnWidth(c, fixed[c]);
  }
  for (size_t i = 0; i < meanItems_.size(); ++i)
    meanItems_[i]->setChecked(static_cast<int>(i) + 1 == comparison_.meanKind());
  for (size_t i = 0; i < modeItems_.size(); ++i)
    modeItems_[i]->setChecked(static_cast<int>(i) == mode);
  unitItems_[0]->setChecked(s_.UnitsFlag == 1);
  unitItems_[1]->setChecked(s_.UnitsFlag != 1);
  for (size_t i = 0; i < pairItems_.size(); ++i)
    pairItems_[i]->setChecked(static_cast<int>(i) * 2 == s_.PairStartChannel);
  for (size_t i = 0; i < limbItems_.size(); ++i)
    limbItems_[i]->setChecked(static_cast<int>(i) + 1 == s_.LimbMode);
  const bool any = comparison_.fileCount() > 0;
  for (const char* name : {"CompDeleteMenu", "CompDeleteAllMenu", "CompCopyReportMenu",
                           "CompPrintMenu", "ExportPdfMenu"})
    action(name)->setEnabled(any);
}

void ComparisonWindow::rebuild() { comparison_.rebuild(s_); }

bool ComparisonWindow::addFile(const std::string& path) {
  return comparison_.add(s_, alerts_, path);
}

void ComparisonWindow::CompOpenMenu() {
  if (!comparison_.roomForAnother(alerts_)) return;
  QFileDialog dialog(this, title("File Open"), QString(),
                     QStringLiteral("Tidemet Summary (*.sum)"));
  dialog.setDefaultSuffix(QStringLiteral("sum"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  addFile(dialog.selectedFiles().first().toStdString());
}

void ComparisonWindow::CompDeleteMenu() {
  const QModelIndex current = grid_->currentIndex();
  if (!current.isValid()) return;
  comparison_.remove(current.row());
}

void ComparisonWindow::CompDeleteAllMenu() { comparison_.clear(); }

void ComparisonWindow::selectMeanKind(int kind) {
  comparison_.setMeanKind(s_, kind);
  showRows();
}

void ComparisonWindow::selectMode(int mode) {
  s_.analysis.AnalysisMode = static_cast<int16_t>(std::clamp(mode, 0, 2));
  rebuild();
  showRows();
}

void ComparisonWindow::selectUnits(bool metric) {
  SwitchUnits(s_, metric);
  rebuild();
  showRows();
}

void ComparisonWindow::selectPair(int item) {
  SetPair(s_, item);
  rebuild();
  showRows();
}

void ComparisonWindow::selectLimb(int item) {
  SetLimb(s_, item);
  rebuild();
  showRows();
}

void ComparisonWindow::CompCopyReportMenu() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setText(QString::fromStdString(comparison_.clipText(s_)));
}

void ComparisonWindow::CompPrintMenu() {
  PrintReportWithDialog(this, title("Print"), comparison_.report(s_), alerts_);
}

void ComparisonWindow::ExportPdfMenu() {
  ExportReportPdfWithDialog(this, title("Export PDF"), QStringLiteral("comparison.pdf"),
                            comparison_.report(s_), alerts_);
}

void ComparisonWindow::CompChartMenu() {
  if (showChart_) showChart_();
}

void ComparisonWindow::CompAnalysisMenu() {
  if (showAnalysis_) showAnalysis_();
}

}  // namespace tidemet
