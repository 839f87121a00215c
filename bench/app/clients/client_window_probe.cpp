// Drives the client window through add, edit + Cancel, edit + Continue, delete, a unit switch and
// a resize on a real display (run under xvfb-run) and saves a screenshot of each step into the
// folder given as the first argument. Not a test: the pictures are for a person to look at.
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/clients/client_editor_dialog.h"
#include "app/clients/client_window.h"
#include "app/files/client_entry.h"
#include "app/ui/qt_alerts.h"

using namespace tidemet;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  Session s;
  ClientList list(
      {MakeClientEntry("Ann Avery", "AA01", "170", "70", "Dr. Lee"),
       MakeClientEntry("Bob Brown", "BB02", "122", "23", ""),
       MakeClientEntry("Cy Chen", "CC03", "229", "136", "Dr. Moss"),
       MakeClientEntry("Abcdefghijklmnopqrst", "ID1234567890", "48", "50", "Sixteen chars ok")});
  TakeClientFromEntry(s, list.entry(0));
  QtAlerts alerts;
  NoComparison comparison;
  RepetitionAnalyzer analyzer;
  ClientWindow window(s, list, alerts, comparison, analyzer, ClientWindowLinks{});
  alerts.setParent(&window);
  window.move(20, 20);
  window.showClients();

  auto shot = [&](const char* name) {
    QApplication::processEvents();
    QApplication::primaryScreen()->grabWindow(0).save(folder + "/" + name + ".png");
  };
  auto type = [&](ClientField f, const QString& text) {
    QLineEdit* edit = window.editor().field(f);
    edit->setFocus();
    edit->selectAll();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(edit, &press);
  };
  std::vector<std::function<void()>> steps = {
      [&] { shot("01-window"); },
      [&] { window.AddClientMenu(); },
      [&] {
        type(ClientField::Name, "  Dora Diaz");
        type(ClientField::Weight, "500");
        window.editor().field(ClientField::Clinician)->setFocus();
      },
      [&] { shot("02-add"); },
      [&] { window.editor().ContinueCmd(); },
      [&] { shot("03-added"); },
      [&] {
        window.ClientListClick(1);
        window.EditClientMenu();
        type(ClientField::Name, "Robert Brown");
      },
      [&] {
        shot("04-edit");
        window.editor().CancelCmd();
      },
      [&] { shot("05-edit-cancelled"); },
      [&] {
        window.EditClientMenu();
        type(ClientField::Height, "180");
      },
      [&] { window.editor().ContinueCmd(); },
      [&] { shot("06-edit-continued"); },
      [&] {
        window.ClientListClick(2);
        window.DeleteClientMenu();
      },
      [&] { shot("07-deleted"); },
      [&] { window.UnitsMenu(false); },
      [&] { shot("08-us-units"); },
      [&] {
        window.AddClientMenu();
        type(ClientField::Name, QString::fromUtf8("Li 山田"));
      },
      [&] {
        // The refusal box is modal: photograph it, then close it.
        QTimer::singleShot(300, [&] {
          shot("09-refused");
          if (QWidget* box = QApplication::activeModalWidget()) box->close();
        });
        window.editor().ContinueCmd();
      },
      [&] {
        window.editor().CancelCmd();
        window.resize(420, 220);
      },
      [&] {
        shot("10-small");
        window.resize(1100, 700);
      },
      [&] { shot("11-large"); },
      [&] { app.quit(); },
  };
  size_t next = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (next < steps.size()) steps[next++]();
  });
  timer.start(250);
  return app.exec();
}
