#pragma once
// The settings window `Custom`: interface model, serial port, RV2 node, computer class,
// application mode, autosave, colours and the institution's name and address. Every menu goes
// straight to the core (model_table, settings_state); the window only shows the check marks.

#include <QDialog>
#include <QList>
#include <array>

#include "app/session/alerts.h"
#include "app/session/main_commands.h"
#include "app/session/model_table.h"
#include "app/session/session.h"
#include "app/session/settings_state.h"

class QAction;
class QActionGroup;
class QLineEdit;
class QMenu;

namespace tidemet {

class SettingsWindow : public QDialog {
  Q_OBJECT

 public:
  SettingsWindow(Session& session, Alerts& alerts, SettingsDevices& devices, HelpViewer& help,
                 QWidget* parent = nullptr);

  // Shows the window modally over its parent with the institution lines of the session.
  void showSettings();

  // Continue (`CustomContinueCmd`): takes over the six boxes and hides the window.
  void CustomContinueCmd();

  // A colour chosen for one of the four colour items (the colour dialog's answer).
  void chooseColor(ColorItem item, const QColor& color);

  QWidget* content() const { return content_; }

  // The window's menu items by their names ("Model18Menu", "Com7", "SwimMenu", ...), and the six
  // institution boxes, for callers that drive the window.
  QAction* menuItem(const QString& name) const;
  QLineEdit* institutionBox(int index) const { return boxes_[index]; }

 signals:
  // Colours changed: every window repaints with them.
  void colorsChanged();
  // Continue pressed: windows that depend on the settings lay themselves out again.
  void continued();

 private:
  QAction* addItem(QMenu* menu, const char* name, const QString& caption, bool checkable = true);
  void buildMenus();
  void buildBoxes();
  void after(unsigned refresh);
  void refreshChecks();
  void askColor(ColorItem item);

  Session& session_;
  Alerts& alerts_;
  SettingsDevices& devices_;
  HelpViewer& help_;

  QList<QAction*> modelItems_;
  QList<QAction*> comItems_;
  QList<QAction*> nodeItems_;
  QList<QAction*> computerItems_;
  QList<QAction*> modeItems_;  // in AppMode order
  QAction* autosave_ = nullptr;
  QWidget* content_ = nullptr;  // everything below the menu bar
  std::array<QLineEdit*, 6> boxes_{};
};

}  // namespace tidemet
