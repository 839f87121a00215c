#include "app/session/main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/acquisition/monitor_window.h"
#include "app/analysis/analysis_window.h"
#include "app/clients/client_selection.h"
#include "app/clients/client_window.h"
#include "app/compare/chart_window.h"
#include "app/compare/comparison_window.h"
#include "app/files/trial_file.h"
#include "app/session/about_dialog.h"
#include "app/session/program_lists.h"
#include "app/session/settings_window.h"
#include "app/session/text.h"
#include "app/ui/colors.h"
#include "app/ui/logo.h"

namespace tidemet {
namespace {

// The platform's logo picture, used in place of our own when the working folder has one.
constexpr const char* kLogoFile = "kvologo2.bmp";

QLabel* centredLabel(const QString& text, QWidget* parent, double scale = 1.0, bool bold = false) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignHCenter);
  QFont font = label->font();
  font.setPointSizeF(font.pointSizeF() * scale);
  font.setBold(bold);
  label->setFont(font);
  return label;
}

}  // namespace

MainWindow::MainWindow(Session& session, AppInfo& info, ProgramLists& lists, Alerts& alerts,
                       HelpViewer& help, SettingsDevices& devices, QWidget* parent)
    : QMainWindow(parent),
      session_(session),
      info_(info),
      lists_(lists),
      alerts_(alerts),
      help_(help),
      devices_(devices) {
  setObjectName(QStringLiteral("Main"));
  setWindowIcon(QIcon(TidemetLogo(64)));
  buildTitleScreen();
  buildMenus();
  resize(720, 540);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildTitleScreen() {
  auto* screen = new QWidget(this);
  auto* layout = new QVBoxLayout(screen);
  layout->setSpacing(6);

  logo_ = new QLabel(screen);
  logo_->setObjectName(QStringLiteral("LogoPicture"));
  logo_->setAlignment(Qt::AlignHCenter);
  logo_->setPixmap(TidemetLogo(128));

  title_ = centredLabel(QString(), screen, 3.5, true);
  title_->setObjectName(QStringLiteral("TitleLabel"));
  versionLabel_ = centredLabel(QString(), screen, 1.1);
  versionLabel_->setObjectName(QStringLiteral("VersionLabel"));
  copyrightLabel_ = centredLabel(QString(), screen);
  copyrightLabel_->setObjectName(QStringLiteral("CopyrightLabel"));

  auto* subtitle = centredLabel(QString::fromLatin1(kSubtitleLine), screen, 1.6, true);
  auto* platform = centredLabel(QString::fromLatin1(kPlatformLine), screen, 1.2);
  auto* use =
      centredLabel(tr("Force measurement for aquatic training, research and therapy"), screen);
  auto* safety =
      centredLabel(tr("Read the safety warning before you use the system near water."), screen);
  noticeLabels_ = {platform, use, safety};

  continueButton_ = new QPushButton(tr("Continue"), screen);
  continueButton_->setObjectName(QStringLiteral("ContinueCmd"));
  continueButton_->setDefault(true);
  connect(continueButton_, &QPushButton::clicked, this, &MainWindow::ContinueCmd);

  layout->addStretch(1);
  layout->addWidget(logo_);
  layout->addWidget(title_);
  layout->addWidget(subtitle);
  layout->addWidget(platform);
  layout->addSpacing(12);
  layout->addWidget(versionLabel_);
  layout->addWidget(copyrightLabel_);
  layout->addSpacing(12);
  layout->addWidget(use);
  layout->addWidget(safety);
  layout->addStretch(1);
  layout->addWidget(continueButton_, 0, Qt::AlignHCenter);
  layout->addSpacing(12);
  setCentralWidget(screen);
}

void MainWindow::buildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  fileOpen_ = file->addAction(tr("&Open"), this, &MainWindow::FileOpenCmd);
  fileOpen_->setObjectName(QStringLiteral("FileOpenMenu"));
  fileSave_ = file->addAction(tr("&Save"), this, &MainWindow::FileSaveCmd);
  fileSave_->setObjectName(QStringLiteral("FileSaveMenu"));
  // Without a current file name there is nothing to open or save without a dialog.
  // Their keys follow the same rule, so the items are refreshed whenever the window comes back
  // to the front as well (a file is named in the monitor).
  connect(file, &QMenu::aboutToShow, this, &MainWindow::refreshFileItems);
  // The analysis and its report come with the analysis window.
  file->addAction(tr("&Print..."), this, &MainWindow::FilePrintCmd)
      ->setObjectName(QStringLiteral("FilePrintMenu"));
  file->addSeparator();
  file->addAction(tr("&Customize..."), this, &MainWindow::CustomizeCmd)
      ->setObjectName(QStringLiteral("FileCustomizeMenu"));
  file->addSeparator();
  fileExit_ = file->addAction(tr("E&xit"), this, &MainWindow::ExitCmd);
  fileExit_->setObjectName(QStringLiteral("FileExitMenu"));

  // The Clients menu has no items: choosing it opens the client window.
  clientsMenu_ = menuBar()->addAction(tr("&Clients"), this, &MainWindow::ClientsCmd);
  clientsMenu_->setObjectName(QStringLiteral("ClientsMenu"));

  QMenu* data = menuBar()->addMenu(tr("&Data"));
  data->addAction(tr("&Monitor"), this, &MainWindow::DataMonitorCmd)
      ->setObjectName(QStringLiteral("DataMonitorMenu"));
  data->addAction(tr("&Video"), this, [this] { showMonitorWithVideo(); })
      ->setObjectName(QStringLiteral("DataVideoMenu"));
  data->addAction(tr("&Graph"), this, &MainWindow::DataGraphCmd)
      ->setObjectName(QStringLiteral("DataGraphMenu"));
  data->addAction(tr("&Analysis"), this, &MainWindow::DataAnalysisCmd)
      ->setObjectName(QStringLiteral("DataAnalysisMenu"));
  data->addAction(tr("&Comparison"), this, &MainWindow::DataComparisonCmd)
      ->setObjectName(QStringLiteral("DataComparisonMenu"));
  data->addAction(tr("C&hart"), this, &MainWindow::DataChartCmd)
      ->setObjectName(QStringLiteral("DataChartMenu"));

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* contents = help->addAction(tr("&Contents"), this, &MainWindow::HelpContentsCmd);
  contents->setObjectName(QStringLiteral("HelpContentsMenu"));
  helpContents_ = contents;
  help->addAction(tr("&About Tidemet..."), this, &MainWindow::AboutCmd)
      ->setObjectName(QStringLiteral("HelpAboutMenu"));

  menus_ = {file, data, help};
  // The menus appear only after the warning has been accepted.
  for (QMenu* menu : menus_) menu->menuAction()->setVisible(false);
  clientsMenu_->setVisible(false);
}

bool MainWindow::menusShown() const {
  for (QMenu* menu : menus_)
    if (!menu->menuAction()->isVisible()) return false;
  return clientsMenu_->isVisible();
}

void MainWindow::MainFormLoad(const StartupEnvironment& env) {
  tidemet::MainFormLoad(session_, info_, env, alerts_);
  // The whole client list, so that Exit writes back what the file held at start. A damaged
  // list is reported when it would be saved.
  lists_.load();
  setWindowTitle(QString::fromStdString(info_.MainTitle));
  title_->setText(QString::fromStdString(info_.ProductWordUpper));
  versionLabel_->setText(QString::fromStdString(info_.VersionLabel));
  copyrightLabel_->setText(QString::fromStdString(info_.CopyrightLine));
  applyColors();
}

void MainWindow::applyColors() {
  ApplyWindowColors(*centralWidget(), session_.WindowBackColor, session_.WindowForeColor);
}

void MainWindow::ContinueCmd() {
  if (state_ != MainState::TitleScreen) return;
  continueButton_->hide();
  for (QLabel* label : noticeLabels_) label->hide();

  // The menus appear only once the warning is accepted, never behind it.
  state_ = tidemet::ContinueCmd(info_, alerts_, help_);
  if (state_ == MainState::Ended) {
    end();
    return;
  }
  for (QMenu* menu : menus_) menu->menuAction()->setVisible(true);
  enableShortcuts();
  clientsMenu_->setVisible(true);
  showLogo();
}

void MainWindow::enableShortcuts() {
  // Only with the menus: before the warning is accepted no key opens, saves or leaves anything.
  fileOpen_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  fileSave_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  fileExit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  helpContents_->setShortcut(QKeySequence(Qt::Key_F1));
}

void MainWindow::showLogo() {
  QString path = QString::fromStdString(session_.WorkingFolder + kLogoFile);
  QPixmap picture;
  if (QFileInfo::exists(path) && picture.load(path))
    logo_->setPixmap(picture.scaled(256, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  logo_->show();
}

TrialFileContext MainWindow::trialContext() {
  return TrialFileContext{alerts_, lists_.clients(), comparison_, summary_};
}

bool MainWindow::openTrial(const std::string& path) {
  TrialFileContext ctx = trialContext();
  return OpenTrialFile(session_, ctx, path);
}

bool MainWindow::saveTrial(const std::string& path) {
  TrialFileContext ctx = trialContext();
  return SaveTrialFile(session_, ctx, path);
}

void MainWindow::FileOpenCmd() {
  if (session_.CurrentFileName.empty()) return;
  TrialFileContext ctx = trialContext();
  OpenTrialFile(session_, ctx, session_.CurrentFileName);
}

void MainWindow::FileSaveCmd() {
  if (session_.CurrentFileName.empty()) return;
  TrialFileContext ctx = trialContext();
  SaveTrialFile(session_, ctx, session_.CurrentFileName);
}

MonitorWindow& MainWindow::monitor() {
  if (!monitor_) {
    MonitorWindow::TrialFiles files{[this](const std::string& path) {
                                      TrialFileContext ctx = trialContext();
                                      return OpenTrialFile(session_, ctx, path);
                                    },
                                    [this](const std::string& path) {
                                      TrialFileContext ctx = trialContext();
                                      return SaveTrialFile(session_, ctx, path);
                                    }};
    MonitorWindow::Seams seams;
    seams.installFolder = info_.InstallFolder;
    monitor_ = std::make_unique<MonitorWindow>(session_, alerts_, std::move(files), nullptr,
                                               std::move(seams));
    monitor_->setRecordingCheck(
        [this] { return ConfirmClientListed(session_, lists_.clients(), alerts_); });
    connect(monitor_.get(), &MonitorWindow::exitRequested, this, &MainWindow::ExitCmd);
    connect(monitor_.get(), &MonitorWindow::helpRequested, this, &MainWindow::HelpContentsCmd);
  }
  return *monitor_;
}

void MainWindow::DataMonitorCmd() {
  if (!ConfirmClientListed(session_, lists_.clients(), alerts_)) return;
  MonitorWindow& window = monitor();
  window.StartMonitor();
  window.show();
  window.raise();
}

void MainWindow::showMonitorWithVideo() {
  DataMonitorCmd();
  if (monitor_ && monitor_->isVisible() &&
      monitor_->videoPane().videoLayout() == VideoLayout::None)
    monitor_->videoPane().setVideoLayout(VideoLayout::Beside);
}

void MainWindow::DataGraphCmd() {
  MonitorWindow& window = monitor();
  window.showTrial();
  window.show();
  window.raise();
}

AnalysisWindow& MainWindow::analysis() {
  if (!analysis_) {
    AnalysisWindow::TrialFiles files{
        [this](const std::string& path) {
          TrialFileContext ctx = trialContext();
          return OpenTrialFile(session_, ctx, path);
        },
        [this](const std::string& path) {
          TrialFileContext ctx = trialContext();
          return SaveTrialFile(session_, ctx, path);
        },
        // A file of an automatic run opens into the run's own session and a copy of the client
        // list (a file in the other units converts the list it is given); its refusal is listed
        // at the end of the run instead of stopping it with a box.
        [this](Session& s, Alerts& alerts, const std::string& path) {
          NoComparison comparison;
          ClientList clients = lists_.clients();
          TrialFileContext ctx{alerts, clients, comparison, summary_};
          return OpenTrialFile(s, ctx, path);
        }};
    analysis_ = std::make_unique<AnalysisWindow>(session_, alerts_, analyzer_, std::move(files));
  }
  return *analysis_;
}

void MainWindow::leaveMonitor() {
  if (monitor_) monitor_->leaveMonitor();
}

void MainWindow::DataAnalysisCmd() {
  leaveMonitor();
  analysis().showAnalysis();
}

void MainWindow::FilePrintCmd() {
  leaveMonitor();
  AnalysisWindow& window = analysis();
  window.RecomputeAnalysis();
  window.APrintMenu();
}

ComparisonWindow& MainWindow::comparisonWindow() {
  if (!comparisonWindow_)
    comparisonWindow_ = std::make_unique<ComparisonWindow>(
        session_, alerts_, comparison_,
        [this] { chart().showChart(ChartWindow::Source::Comparison); },
        [this] { DataAnalysisCmd(); });
  return *comparisonWindow_;
}

ChartWindow& MainWindow::chart() {
  if (!chart_) {
    ChartWindowLinks links;
    links.openFile = [this](const std::string& path) { return openTrial(path); };
    links.saveFile = [this](const std::string& path) { return saveTrial(path); };
    links.showComparison = [this] { DataComparisonCmd(); };
    links.showAnalysis = [this] { DataAnalysisCmd(); };
    links.showGraph = [this] { DataGraphCmd(); };
    links.showMonitor = [this] { DataMonitorCmd(); };
    links.showClients = [this] { ClientsCmd(); };
    chart_ =
        std::make_unique<ChartWindow>(session_, alerts_, analyzer_, comparison_, std::move(links));
  }
  return *chart_;
}

void MainWindow::DataComparisonCmd() {
  leaveMonitor();
  comparisonWindow().showComparison();
}

void MainWindow::DataChartCmd() {
  leaveMonitor();
  chart().showChart(ChartWindow::Source::Repetitions);
}

void MainWindow::ExitCmd() {
  if (tidemet::ExitProgram(info_, alerts_, help_, [this] { lists_.save(alerts_); })) end();
}

void MainWindow::end() {
  state_ = MainState::Ended;
  if (monitor_) monitor_->close();
  if (analysis_) analysis_->close();
  if (clients_) clients_->close();
  if (comparisonWindow_) comparisonWindow_->close();
  if (chart_) chart_->close();
  hide();
  emit ended();
}

void MainWindow::refreshFileItems() {
  fileOpen_->setEnabled(!session_.CurrentFileName.empty());
  fileSave_->setEnabled(!session_.CurrentFileName.empty());
}

void MainWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) refreshFileItems();
  QMainWindow::changeEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // The close box is the Exit command; before the menus are shown it ends as Cancel would.
  if (state_ == MainState::Ready) {
    event->ignore();
    ExitCmd();
    return;
  }
  if (state_ == MainState::TitleScreen) {
    help_.close();
    state_ = MainState::Ended;
    emit ended();
  }
  event->accept();
}

void MainWindow::CustomizeCmd() {
  if (!settings_) {
    settings_ = new SettingsWindow(session_, alerts_, devices_, help_, this);
    connect(settings_, &SettingsWindow::colorsChanged, this, &MainWindow::applyColors);
    connect(settings_, &SettingsWindow::continued, this, [this] {
      if (monitor_) monitor_->settingsContinued();
    });
  }
  settings_->showSettings();
}

void MainWindow::ClientsCmd() {
  leaveMonitor();
  if (!clients_) {
    ClientWindowLinks links;
    links.productWord = info_.ProductWord;
    links.openFile = [this](const std::string& path) {
      TrialFileContext ctx = trialContext();
      return OpenTrialFile(session_, ctx, path);
    };
    links.saveFile = [this](const std::string& path) {
      TrialFileContext ctx = trialContext();
      return SaveTrialFile(session_, ctx, path);
    };
    links.customize = [this] { CustomizeCmd(); };
    links.exit = [this] { ExitCmd(); };
    links.helpContents = [this] { HelpContentsCmd(); };
    links.about = [this] { AboutCmd(); };
    links.saveLists = [this] { return lists_.save(alerts_); };
    links.hasWindow = [](DataTarget) { return true; };
    links.showWindow = [this](DataTarget t) {
      if (t == DataTarget::Monitor) DataMonitorCmd();
      if (t == DataTarget::Video) showMonitorWithVideo();
      if (t == DataTarget::Graph) DataGraphCmd();
      if (t == DataTarget::Analysis) DataAnalysisCmd();
      if (t == DataTarget::Comparison) DataComparisonCmd();
      if (t == DataTarget::Chart) DataChartCmd();
    };
    clients_ = std::make_unique<ClientWindow>(session_, lists_.clients(), alerts_, comparison_,
                                              analyzer_, std::move(links));
  }
  // A list that could not be read at start is tried again, and the reason shown.
  if (!lists_.loaded()) {
    if (ListError error = lists_.load())
      alerts_.show(
          Alert{std::string(AppTitle), error.text, AlertIcon::Exclamation, AlertButtons::Ok});
  }
  clients_->showClients();
}

void MainWindow::HelpContentsCmd() { help_.showContents(); }

void MainWindow::AboutCmd() {
  AboutDialog about(info_, this);
  about.exec();
}

}  // namespace tidemet
