#include "app/compare/chart_window.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenuBar>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>

#include "app/analysis/recompute_analysis.h"
#include "app/compare/chart_view_widget.h"
#include "app/files/safe_file.h"
#include "app/session/monitor_menus.h"
#include "app/session/text.h"
#include "app/ui/menu_items.h"

namespace tidemet {
namespace {

const QString kFileFilter = QStringLiteral("Tidemet Data (*.dat);;Tidemet Summary (*.sum)");

QString title(const std::string& what) {
  return QString::fromStdString(std::string(AppTitle) + " " + what);
}

// The analysis mode each force item sets: peak force, average force, impulse.
constexpr int kQuantityModes[3] = {0, 2, 1};

}  // namespace

ChartWindow::ChartWindow(Session& session, Alerts& alerts, RepetitionAnalyzer& analyzer,
                         Comparison& comparison, ChartWindowLinks links, QWidget* parent)
    : QMainWindow(parent),
      s_(session),
      alerts_(alerts),
      analyzer_(analyzer),
      comparison_(comparison),
      links_(std::move(links)) {
  setObjectName(QStringLiteral("Plot"));
  view_ = new ChartViewWidget(this);
  setCentralWidget(view_);
  buildMenus();
  setMinimumSize(480, 360);
  resize(860, 600);
}

ChartWindow::~ChartWindow() = default;

QAction* ChartWindow::action(const char* name) const {
  return findChild<QAction*>(QString::fromLatin1(name));
}

void ChartWindow::buildMenus() {
  auto item = [this](QMenu* menu, const QString& text, const char* name, auto slot) {
    return AddNamedItem(menu, text, name, [this, slot] { (this->*slot)(); });
  };

  QMenu* file = menuBar()->addMenu(tr("&File"));
  item(file, tr("&Open..."), "OpenMenu", &ChartWindow::OpenMenu);
  item(file, tr("&Save..."), "SaveMenu", &ChartWindow::SaveMenu);
  file->addSeparator();
  item(file, tr("&Print..."), "PrintMenu", &ChartWindow::PrintMenu);
  item(file, tr("Export P&DF..."), "ExportPdfMenu", &ChartWindow::ExportPdfMenu);
  item(file, tr("Export P&NG..."), "ExportPngMenu", &ChartWindow::ExportPngMenu);
  file->addSeparator();
  connect(file->addAction(tr("&Close")), &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  item(edit, tr("&Copy"), "CopyMenu", &ChartWindow::CopyMenu)->setShortcut(QKeySequence::Copy);

  QMenu* chart = menuBar()->addMenu(tr("C&hart"));
  quantityItems_ =
      AddCheckGroup(chart, {tr("&Peak Force"), tr("&Avg Force"), tr("&Impulse"), tr("&Time")},
                    {"PeakForceMenu", "AvForceMenu", "ImpulseMenu", "TimeMenu"},
                    [this](int i) { selectQuantity(i); });
  chart->addSeparator();
  // Captioned with the phase names of the trial's joint action when the chart is drawn.
  phaseItems_ = AddCheckGroup(chart, {QString(), QString()}, {"PosMenu", "NegMenu"},
                              [this](int i) { selectPhase(i == 1); });

  QMenu* channels = menuBar()->addMenu(tr("&Channels"));
  pairItems_ = AddCheckGroup(
      channels,
      {tr("Channels &1-2"), tr("Channels &3-4"), tr("Channels &5-6"), tr("Channels &7-8")},
      {"Channel12Menu", "Channel34Menu", "Channel56Menu", "Channel78Menu"},
      [this](int i) { selectPair(i); });

  QMenu* units = menuBar()->addMenu(tr("&Units"));
  unitItems_ = AddCheckGroup(units, {tr("&Metric"), tr("&US")}, {"MetricMenu", "USMenu"},
                             [this](int i) { selectUnits(i == 0); });

  QMenu* go = menuBar()->addMenu(tr("&Window"));
  auto link = [go](const QString& text, const char* name, std::function<void()>& open) {
    AddNamedItem(go, text, name, [&open] {
      if (open) open();
    });
  };
  link(tr("&Comparison"), "CompMenu", links_.showComparison);
  link(tr("&Analysis"), "AnMenu", links_.showAnalysis);
  link(tr("&Graph"), "GraphMenu", links_.showGraph);
  link(tr("&Monitor"), "MonitorMenu", links_.showMonitor);
  link(tr("C&lients"), "ClientMenu", links_.showClients);
}

void ChartWindow::showChart(Source source) {
  source_ = source;
  recompute();
  show();
  raise();
  activateWindow();
}

void ChartWindow::recompute() {
  // The repetition chart shows the trial as the analysis finds it now; the comparison's rows
  // are read again with the shared settings.
  if (source_ == Source::Repetitions)
    RecomputeAnalysis(s_, analyzer_, alerts_);
  else
    comparison_.rebuild(s_);
  redraw();
}

void ChartWindow::redraw() {
  const ChartData data = source_ == Source::Repetitions ? RepetitionChart(s_, choice_)
                                                        : ComparisonChart(s_, comparison_, choice_);
  setWindowTitle(QString::fromStdString(data.caption));
  view_->setChart(data);
  syncChecks();
}

void ChartWindow::syncChecks() {
  const int mode = s_.analysis.AnalysisMode;
  for (int i = 0; i < 4; ++i)
    quantityItems_[i]->setChecked(i == 3 ? choice_.time
                                         : !choice_.time && kQuantityModes[i] == mode);
  phaseItems_[0]->setText(QString::fromStdString(s_.labels.PositiveLabel));
  phaseItems_[1]->setText(QString::fromStdString(s_.labels.NegativeLabel));
  phaseItems_[0]->setChecked(!choice_.negative);
  phaseItems_[1]->setChecked(choice_.negative);
  for (int i = 0; i < 4; ++i) {
    pairItems_[i]->setChecked(i * 2 == s_.PairStartChannel);
    pairItems_[i]->setEnabled(i * 2 + 1 < std::max<int>(s_.ChannelCount, 2) ||
                              pairItems_[i]->isChecked());
  }
  unitItems_[0]->setChecked(s_.UnitsFlag == 1);
  unitItems_[1]->setChecked(s_.UnitsFlag != 1);
}

void ChartWindow::selectQuantity(int item) {
  if (item < 0 || item > 3) return;
  choice_.time = item == 3;
  if (item < 3) {
    s_.analysis.AnalysisMode = static_cast<int16_t>(kQuantityModes[item]);
    recompute();
  } else {
    redraw();
  }
}

void ChartWindow::selectPhase(bool negative) {
  choice_.negative = negative;
  redraw();
}

void ChartWindow::selectPair(int item) {
  SetPair(s_, item);
  recompute();
}

void ChartWindow::selectUnits(bool metric) {
  SwitchUnits(s_, metric);
  recompute();
}

bool ChartWindow::openFile(const std::string& path) {
  if (!links_.openFile || !links_.openFile(path)) return false;
  // An opened trial is what the user wants to see charted.
  source_ = Source::Repetitions;
  recompute();
  return true;
}

void ChartWindow::OpenMenu() {
  QFileDialog dialog(this, title("File Open"), QString(), kFileFilter);
  dialog.setDefaultSuffix(QStringLiteral("dat"));
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  openFile(dialog.selectedFiles().first().toStdString());
}

void ChartWindow::SaveMenu() {
  QFileDialog dialog(this, title("File Save"), QString::fromStdString(s_.CurrentFileName),
                     kFileFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("dat"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !links_.saveFile)
    return;
  if (links_.saveFile(dialog.selectedFiles().first().toStdString())) recompute();
}

void ChartWindow::CopyMenu() {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->clear();
  clipboard->setImage(view_->picture());
}

bool ChartWindow::printChart(QPagedPaintDevice& device) {
  if (!view_->hasChart()) return false;
  QPainter painter;
  if (!painter.begin(&device)) return false;
  view_->paintChart(painter, QRectF(painter.viewport()));
  return painter.end();
}

void ChartWindow::fail(const std::string& what, const std::string& why) {
  alerts_.show({std::string(AppTitle) + " Error",
                what + (why.empty() ? std::string() : std::string(CrLf) + why),
                AlertIcon::Exclamation, AlertButtons::Ok});
}

void ChartWindow::PrintMenu() {
  if (!view_->hasChart()) {
    fail("There is no chart to print.", view_->note().toStdString());
    return;
  }
  QPrinter printer;
  printer.setPageOrientation(QPageLayout::Landscape);
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(title("Print"));
  if (dialog.exec() != QDialog::Accepted) return;
  if (!printChart(printer)) fail("The chart could not be printed.", {});
}

std::optional<std::string> ChartWindow::exportPng(const std::string& path) {
  if (!view_->hasChart()) return view_->note().toStdString();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!view_->picture().save(&buffer, "PNG")) return std::string("The picture could not be made.");
  return WriteFileAtomically(path, bytes.toStdString());
}

std::optional<std::string> ChartWindow::exportPdf(const std::string& path) {
  if (!view_->hasChart()) return view_->note().toStdString();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(windowTitle());
    writer.setCreator(QStringLiteral("Tidemet"));
    if (!printChart(writer)) return std::string("The chart could not be drawn.");
  }
  return WriteFileAtomically(path, bytes.toStdString());
}

void ChartWindow::ExportPngMenu() {
  const QString path =
      QFileDialog::getSaveFileName(this, title("Export PNG"), QStringLiteral("chart.png"),
                                   QStringLiteral("PNG picture (*.png)"));
  if (path.isEmpty()) return;
  if (auto error = exportPng(path.toStdString())) fail("The picture could not be written.", *error);
}

void ChartWindow::ExportPdfMenu() {
  const QString path = QFileDialog::getSaveFileName(
      this, title("Export PDF"), QStringLiteral("chart.pdf"), QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  if (auto error = exportPdf(path.toStdString())) fail("The PDF could not be written.", *error);
}

}  // namespace tidemet
