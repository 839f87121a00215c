#pragma once
// The client window `Client`: the client list in a fixed-pitch font under its column labels, and
// the menus that add, edit, delete, copy and print clients, switch the units, and leave for the
// Data windows with the selected client. Everything it decides comes from the core.

#include <QMainWindow>
#include <array>
#include <functional>
#include <string>

#include "app/analysis/repetition_analyzer.h"
#include "app/clients/client_commands.h"
#include "app/files/client_list.h"
#include "app/files/trial_seams.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

class QAction;
class QLabel;
class QListView;

namespace tidemet {

class ClientEditor;
class ClientListModel;

enum class DataTarget { Monitor, Video, Graph, Analysis, Comparison, Chart };

// What the window reaches beyond itself: the other windows, the trial files and the lists.
struct ClientWindowLinks {
  std::string productWord = "Tidemet";
  std::function<bool(const std::string& path)> openFile;
  std::function<bool(const std::string& path)> saveFile;
  std::function<void()> customize;
  std::function<void()> exit;
  std::function<void()> helpContents;
  std::function<void()> about;
  std::function<bool()> saveLists;
  // Whether the program has that Data window, and showing it once the client window is left.
  std::function<bool(DataTarget)> hasWindow;
  std::function<void(DataTarget)> showWindow;
};

class ClientWindow : public QMainWindow {
  Q_OBJECT

 public:
  ClientWindow(Session& session, ClientList& list, Alerts& alerts, ComparisonSeam& comparison,
               RepetitionAnalyzer& analyzer, ClientWindowLinks links, QWidget* parent = nullptr);
  ~ClientWindow() override;

  // Shows the window with the list as it stands and the current client highlighted.
  void showClients();

  // Menu commands, also reached by tests.
  void CopyClientMenu();
  void CopyAllClientsMenu();
  void AddClientMenu();
  void EditClientMenu();
  void DeleteClientMenu();
  void UnitsMenu(bool metric);
  void PrintMenu();
  void ExportPdfMenu();
  void LeaveFor(DataTarget target);
  // A click on list row `row`.
  void ClientListClick(int row);

  ClientEditor& editor() { return *editor_; }
  QListView& listView() { return *view_; }
  QString columnLabels() const;

 private:
  void buildMenus();
  void buildCentre();
  void onEditorFinished(int result);
  void syncView();
  void refreshLabels();
  void openFile();
  void saveFile();

  Session& s_;
  ClientList& list_;
  Alerts& alerts_;
  ComparisonSeam& comparison_;
  RepetitionAnalyzer& analyzer_;
  ClientWindowLinks links_;

  ClientListModel* model_ = nullptr;
  QListView* view_ = nullptr;
  std::array<QLabel*, 2> labels_{};
  ClientEditor* editor_ = nullptr;
  int editIndex_ = -1;  // the entry being edited, -1 while adding
  bool syncing_ = false;
  QAction* metric_ = nullptr;
  QAction* us_ = nullptr;
  std::array<QAction*, 6> dataActions_{};
};

}  // namespace tidemet
