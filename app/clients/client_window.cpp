#include "app/clients/client_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QVBoxLayout>

#include "app/clients/client_editor_dialog.h"
#include "app/ui/client_list_model.h"
#include "app/ui/client_list_printing.h"
#include "app/clients/client_selection.h"
#include "app/files/client_entry.h"

namespace tidemet {
namespace {

const QString kFileFilter = QStringLiteral("Tidemet Data (*.dat);;Tidemet Summary (*.sum)");

struct DataItem {
  DataTarget target;
  const char* caption;
  const char* objectName;
};
constexpr std::array<DataItem, 6> kDataItems = {{
    {DataTarget::Monitor, "&Monitor", "DataMonitorMenu"},
    {DataTarget::Video, "&Video", "DataVideoMenu"},
    {DataTarget::Graph, "&Graph", "DataGraphMenu"},
    {DataTarget::Analysis, "&Analysis", "DataAnalysisMenu"},
    {DataTarget::Comparison, "&Comparison", "DataComparisonMenu"},
    {DataTarget::Chart, "C&hart", "DataChartMenu"},
}};

}  // namespace

ClientWindow::ClientWindow(Session& session, ClientList& list, Alerts& alerts,
                           ComparisonSeam& comparison, RepetitionAnalyzer& analyzer,
                           ClientWindowLinks links, QWidget* parent)
    : QMainWindow(parent),
      s_(session),
      list_(list),
      alerts_(alerts),
      comparison_(comparison),
      analyzer_(analyzer),
      links_(std::move(links)) {
  setObjectName(QStringLiteral("Client"));
  setWindowTitle(QString::fromStdString(links_.productWord + " Clients"));
  editor_ = new ClientEditor(alerts_, this);
  connect(editor_, &QDialog::finished, this, &ClientWindow::onEditorFinished);
  buildCentre();
  buildMenus();
  refreshLabels();
  resize(760, 480);
}

ClientWindow::~ClientWindow() = default;

void ClientWindow::buildCentre() {
  auto* centre = new QWidget(this);
  auto* layout = new QVBoxLayout(centre);
  layout->setSpacing(0);
  const QFont font = ClientListFont();
  for (QLabel*& label : labels_) {
    label = new QLabel(centre);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    layout->addWidget(label);
  }
  labels_[0]->setObjectName(QStringLiteral("ColumnLabels1"));
  labels_[1]->setObjectName(QStringLiteral("ColumnLabels2"));
  layout->addSpacing(4);

  model_ = new ClientListModel(list_, this);
  // The longest entry: 51 columns of name, ID, height and weight and a 16-character clinician.
  const QFontMetrics metrics(font);
  model_->setRowSize(
      QSize(metrics.horizontalAdvance(QString(68, QLatin1Char('M'))), metrics.lineSpacing() + 2));
  view_ = new QListView(centre);
  view_->setObjectName(QStringLiteral("ClientList"));
  view_->setFont(font);
  view_->setUniformItemSizes(true);        // thousands of rows lay out without measuring each
  view_->setTextElideMode(Qt::ElideNone);  // a narrow window scrolls; it never cuts a clinician
  view_->setModel(model_);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  layout->addWidget(view_, 1);
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (!syncing_) ClientListClick(current.row());
          });
  // A double-click edits the client, as the Edit menu does.
  connect(view_, &QListView::doubleClicked, this, [this] {
    if (list_.selected() >= 0) EditClientMenu();
  });
  setCentralWidget(centre);
}

void ClientWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("&Open..."), this, &ClientWindow::openFile)
      ->setObjectName(QStringLiteral("FileOpenMenu"));
  file->addAction(tr("&Save..."), this, &ClientWindow::saveFile)
      ->setObjectName(QStringLiteral("FileSaveMenu"));
  file->addSeparator();
  file->addAction(tr("&Print..."), this, &ClientWindow::PrintMenu)
      ->setObjectName(QStringLiteral("FilePrintMenu"));
  file->addAction(tr("&Export PDF..."), this, &ClientWindow::ExportPdfMenu)
      ->setObjectName(QStringLiteral("FileExportPdfMenu"));
  file->addSeparator();
  file->addAction(tr("&Customize..."), this,
                  [this] {
                    if (links_.customize) links_.customize();
                  })
      ->setObjectName(QStringLiteral("FileCustomizeMenu"));
  file->addSeparator();
  file->addAction(tr("E&xit"), this,
                  [this] {
                    if (links_.exit) links_.exit();
                  })
      ->setObjectName(QStringLiteral("FileExitMenu"));

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addAction(tr("&Copy Client"), this, &ClientWindow::CopyClientMenu)
      ->setObjectName(QStringLiteral("CopyClientMenu"));
  edit->addAction(tr("Copy &All Clients"), this, &ClientWindow::CopyAllClientsMenu)
      ->setObjectName(QStringLiteral("CopyAllClientsMenu"));
  edit->addSeparator();
  edit->addAction(tr("A&dd Client..."), this, &ClientWindow::AddClientMenu)
      ->setObjectName(QStringLiteral("AddClientMenu"));
  edit->addAction(tr("&Delete Client"), this, &ClientWindow::DeleteClientMenu)
      ->setObjectName(QStringLiteral("DeleteClientMenu"));
  edit->addAction(tr("&Edit Client..."), this, &ClientWindow::EditClientMenu)
      ->setObjectName(QStringLiteral("EditClientMenu"));

  QMenu* data = menuBar()->addMenu(tr("&Data"));
  for (size_t i = 0; i < kDataItems.size(); ++i) {
    const DataTarget target = kDataItems[i].target;
    QAction* action =
        data->addAction(tr(kDataItems[i].caption), this, [this, target] { LeaveFor(target); });
    action->setObjectName(QString::fromLatin1(kDataItems[i].objectName));
    dataActions_[i] = action;
  }
  // Windows that the program does not have yet stay greyed.
  connect(data, &QMenu::aboutToShow, this, [this] {
    for (size_t i = 0; i < kDataItems.size(); ++i)
      dataActions_[i]->setEnabled(links_.hasWindow && links_.hasWindow(kDataItems[i].target));
  });

  QMenu* units = menuBar()->addMenu(tr("&Units"));
  metric_ = units->addAction(tr("&Metric"), this, [this] { UnitsMenu(true); });
  metric_->setObjectName(QStringLiteral("metric"));
  us_ = units->addAction(tr("&US"), this, [this] { UnitsMenu(false); });
  us_->setObjectName(QStringLiteral("us"));
  metric_->setCheckable(true);
  us_->setCheckable(true);

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  help->addAction(tr("&Contents"), this,
                  [this] {
                    if (links_.helpContents) links_.helpContents();
                  })
      ->setObjectName(QStringLiteral("HelpContentsMenu"));
  help->addAction(tr("&About Tidemet..."), this,
                  [this] {
                    if (links_.about) links_.about();
                  })
      ->setObjectName(QStringLiteral("HelpAboutMenu"));
}

void ClientWindow::refreshLabels() {
  const auto lines = ClientColumnLabels(s_.labels.units);
  for (size_t i = 0; i < labels_.size(); ++i) labels_[i]->setText(QString::fromStdString(lines[i]));
  metric_->setChecked(s_.UnitsFlag == 1);
  us_->setChecked(s_.UnitsFlag != 1);
}

QString ClientWindow::columnLabels() const {
  return labels_[0]->text() + QLatin1Char('\n') + labels_[1]->text();
}

void ClientWindow::syncView() {
  syncing_ = true;
  const int row = list_.selected();
  if (row >= 0) {
    const QModelIndex index = model_->index(row);
    view_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    view_->scrollTo(index);
  } else {
    view_->selectionModel()->clear();
  }
  syncing_ = false;
}

void ClientWindow::showClients() {
  // The current client is highlighted when the window opens; that changes no state.
  if (list_.selected() < 0) {
    const int current = FindClient(list_, s_.ClientName);
    if (current >= 0) list_.select(current);
  }
  model_->reload();
  refreshLabels();
  syncView();
  show();
  raise();
  activateWindow();
}

void ClientWindow::ClientListClick(int row) {
  ClickClient(s_, list_, row);
  // A click that changes nothing must not leave another entry highlighted either.
  syncView();
}

void ClientWindow::CopyClientMenu() {
  QApplication::clipboard()->setText(QString::fromStdString(CopyClientText(list_)));
  syncView();
}

void ClientWindow::CopyAllClientsMenu() {
  QApplication::clipboard()->setText(QString::fromStdString(CopyAllClientsText(list_)));
}

void ClientWindow::AddClientMenu() {
  editIndex_ = -1;
  editor_->openWith(QString::fromStdString(links_.productWord + " Add Client"),
                    AddClientPresets(s_.UnitsFlag == 1), s_.labels.units, s_.UnitsFlag == 1);
}

void ClientWindow::EditClientMenu() {
  editIndex_ = SelectedOrFirst(list_);
  if (editIndex_ < 0) return;
  syncView();
  editor_->openWith(QString::fromStdString(links_.productWord + " Edit Client"),
                    EditorTextFromEntry(list_.entry(editIndex_)), s_.labels.units,
                    s_.UnitsFlag == 1);
}

void ClientWindow::onEditorFinished(int result) {
  // Cancel leaves the list as it was: the entry being edited never left its place.
  if (result != QDialog::Accepted) return;
  std::string entry = EntryFromEditor(editor_->text(), s_.UnitsFlag == 1);
  if (editIndex_ >= 0) {
    ReplaceClient(s_, list_, editIndex_, std::move(entry));
  } else {
    AddClient(list_, std::move(entry));
  }
  model_->reload();
  syncView();
  if (editIndex_ < 0) view_->scrollToBottom();
}

void ClientWindow::DeleteClientMenu() {
  if (DeleteClient(list_, alerts_, links_.productWord)) model_->reload();
  syncView();
}

void ClientWindow::UnitsMenu(bool metric) {
  SwitchClientUnits(s_, list_, metric);
  model_->reload();
  refreshLabels();
  syncView();
}

void ClientWindow::PrintMenu() {
  PrintClientList(this, ClientListPrintLines(list_, s_.UnitsFlag == 1, links_.productWord));
}

void ClientWindow::ExportPdfMenu() {
  const QString path =
      QFileDialog::getSaveFileName(this, QString::fromStdString(links_.productWord + " Export PDF"),
                                   QString(), QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  if (!ExportClientListPdf(path,
                           ClientListPrintLines(list_, s_.UnitsFlag == 1, links_.productWord)))
    alerts_.show(Alert{links_.productWord,
                       "File: " + path.toStdString() + "\r\ncould not be written.",
                       AlertIcon::Exclamation, AlertButtons::Ok});
}

void ClientWindow::LeaveFor(DataTarget target) {
  if (!links_.hasWindow || !links_.hasWindow(target)) return;
  LeaveContext ctx{comparison_, analyzer_, alerts_, links_.saveLists};
  LeaveForDataWindow(s_, list_, ctx);
  syncView();
  const bool records = target == DataTarget::Monitor || target == DataTarget::Video;
  if (records && !ConfirmClientListed(s_, list_, alerts_)) return;
  hide();
  if (links_.showWindow) links_.showWindow(target);
}

void ClientWindow::openFile() {
  const QString path = QFileDialog::getOpenFileName(
      this, QString::fromStdString(links_.productWord + " File Open"), QString(), kFileFilter);
  if (path.isEmpty() || !links_.openFile) return;
  links_.openFile(path.toStdString());
  // Opening a file of another client selects that client.
  model_->reload();
  syncView();
}

void ClientWindow::saveFile() {
  QFileDialog dialog(this, QString::fromStdString(links_.productWord + " File Save"), QString(),
                     kFileFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(QStringLiteral("dat"));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty() || !links_.saveFile)
    return;
  links_.saveFile(dialog.selectedFiles().first().toStdString());
}

}  // namespace tidemet
