#include "app/ui/program.h"

#include <QApplication>
#include <QScreen>
#include <filesystem>

#include "app/session/data_folder.h"
#include "app/session/help_window.h"
#include "app/session/main_window.h"
#include "app/session/model_table.h"
#ifdef TIDEMET_HAVE_USB_SOURCES
#include "app/acquisition/sources/usb_settings_devices.h"
#endif
#include "app/session/program_lists.h"
#include "app/ui/qt_alerts.h"

#ifndef TIDEMET_DATA_DIR
#define TIDEMET_DATA_DIR "/usr/local/share/tidemet"
#endif

namespace tidemet {
namespace {

// The settings window opens the USB device and the module when the build has their back-ends.
std::unique_ptr<SettingsDevices> MakeSettingsDevices() {
#ifdef TIDEMET_HAVE_USB_SOURCES
  return std::make_unique<UsbSettingsDevices>();
#else
  return std::make_unique<NoSettingsDevices>();
#endif
}

}  // namespace

Program::Program()
    : session_(std::make_unique<Session>()),
      alerts_(std::make_unique<QtAlerts>()),
      help_(std::make_unique<HelpWindow>()),
      lists_(std::make_unique<ProgramLists>(*session_)),
      devices_(MakeSettingsDevices()) {
  main_ = std::make_unique<MainWindow>(*session_, info_, *lists_, *alerts_, *help_, *devices_);
  alerts_->setParent(main_.get());
  QObject::connect(main_.get(), &MainWindow::ended, qApp, &QCoreApplication::quit,
                   Qt::QueuedConnection);
}

Program::~Program() = default;

std::string Program::installFolder() {
  return DataFolderFor(QCoreApplication::applicationFilePath().toStdString(), TIDEMET_DATA_DIR);
}

void Program::start() {
  StartupEnvironment env;
  std::error_code ec;
  env.workingFolder = std::filesystem::current_path(ec);
  env.installFolder = installFolder();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    env.screenWidth = screen->size().width();
    env.screenHeight = screen->size().height();
  }
  env.speedFactor = MeasureSpeedFactor();
  main_->MainFormLoad(env);
  main_->show();
}

}  // namespace tidemet
