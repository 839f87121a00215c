#include "app/session/main_window.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/acquisition/monitor_window.h"
#include "app/files/trial_file.h"
#include "app/session/about_dialog.h"
#include "app/session/program_lists.h"
#include "app/session/settings_window.h"
#include "app/ui/colors.h"
#include "app/ui/logo.h"

namespace tidemet {
namespace {

// The platform's logo picture, used in place of our own when the working folder has one.
constexpr const char* kLogoFile = "kvologo2.bmp";
constexpr const char* kLaterTip = "This window comes with a later version of Tidemet.";

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
  auto later = [](QAction* action) {
    action->setEnabled(false);
    action->setStatusTip(QString::fromLatin1(kLaterTip));
    action->setToolTip(QString::fromLatin1(kLaterTip));
  };

  QMenu* file = menuBar()->addMenu(tr("&File"));
  fileOpen_ = file->addAction(tr("&Open"), this, &MainWindow::FileOpenCmd);
  fileOpen_->setObjectName(QStringLiteral("FileOpenMenu"));
  fileSave_ = file->addAction(tr("&Save"), this, &MainWindow::FileSaveCmd);
  fileSave_->setObjectName(QStringLiteral("FileSaveMenu"));
  // Without a current file name there is nothing to open or save without a dialog.
  connect(file, &QMenu::aboutToShow, this, [this] {
    fileOpen_->setEnabled(!session_.CurrentFileName.empty());
    fileSave_->setEnabled(!session_.CurrentFileName.empty());
  });
  // The analysis and its report come with the analysis window.
  later(file->addAction(tr("&Print")));
  file->addSeparator();
  file->addAction(tr("&Customize..."), this, &MainWindow::CustomizeCmd)
      ->setObjectName(QStringLiteral("FileCustomizeMenu"));
  file->addSeparator();
  file->addAction(tr("E&xit"), this, &MainWindow::ExitCmd)
      ->setObjectName(QStringLiteral("FileExitMenu"));

  QMenu* clients = menuBar()->addMenu(tr("&Clients"));
  later(clients->menuAction());

  QMenu* data = menuBar()->addMenu(tr("&Data"));
  data->addAction(tr("&Monitor"), this, &MainWindow::DataMonitorCmd)
      ->setObjectName(QStringLiteral("DataMonitorMenu"));
  data->addAction(tr("&Graph"), this, &MainWindow::DataGraphCmd)
      ->setObjectName(QStringLiteral("DataGraphMenu"));
  for (const QString& item : {tr("&Analysis"), tr("&Comparison"), tr("C&hart")})
    later(data->addAction(item));

  QMenu* help = menuBar()->addMenu(tr("&Help"));
  QAction* contents = help->addAction(tr("&Contents"), this, &MainWindow::HelpContentsCmd);
  contents->setObjectName(QStringLiteral("HelpContentsMenu"));
  contents->setShortcut(QKeySequence::HelpContents);
  help->addAction(tr("&About Tidemet..."), this, &MainWindow::AboutCmd)
      ->setObjectName(QStringLiteral("HelpAboutMenu"));

  menus_ = {file, clients, data, help};
  // The menus appear only after the warning has been accepted.
  for (QMenu* menu : menus_) menu->menuAction()->setVisible(false);
}

bool MainWindow::menusShown() const {
  for (QMenu* menu : menus_)
    if (!menu->menuAction()->isVisible()) return false;
  return true;
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
  showLogo();
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
    monitor_ = std::make_unique<MonitorWindow>(session_, alerts_, std::move(files));
    connect(monitor_.get(), &MonitorWindow::exitRequested, this, &MainWindow::ExitCmd);
    connect(monitor_.get(), &MonitorWindow::helpRequested, this, &MainWindow::HelpContentsCmd);
  }
  return *monitor_;
}

void MainWindow::DataMonitorCmd() {
  MonitorWindow& window = monitor();
  window.StartMonitor();
  window.show();
  window.raise();
}

void MainWindow::DataGraphCmd() {
  MonitorWindow& window = monitor();
  window.showTrial();
  window.show();
  window.raise();
}

void MainWindow::ExitCmd() {
  if (tidemet::ExitProgram(info_, alerts_, help_, [this] { lists_.save(alerts_); })) end();
}

void MainWindow::end() {
  state_ = MainState::Ended;
  if (monitor_) monitor_->close();
  hide();
  emit ended();
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

void MainWindow::HelpContentsCmd() { help_.showContents(); }

void MainWindow::AboutCmd() {
  AboutDialog about(info_, this);
  about.exec();
}

}  // namespace tidemet
