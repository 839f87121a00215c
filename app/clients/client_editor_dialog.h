#pragma once
// The client editor `Ed`: a small modal dialog with the five fields, their range labels, Continue
// and Cancel. The field rules come from the core (client_editor_rules.h); Continue refuses text
// the client list cannot store and keeps the editor open with everything typed.

#include <QDialog>
#include <array>

#include "app/clients/client_editor_rules.h"
#include "app/session/alerts.h"
#include "app/session/labels.h"

class QLabel;
class QLineEdit;

namespace tidemet {

class ClientEditor : public QDialog {
  Q_OBJECT

 public:
  ClientEditor(Alerts& alerts, QWidget* parent = nullptr);

  // Fills the fields and the range labels for the units and shows the editor modally without
  // blocking; `finished` tells how it was left.
  void openWith(const QString& title, const ClientEditorText& text, const UnitLabels& units,
                bool metric);

  ClientEditorText text() const;
  QLineEdit* field(ClientField field) const { return fields_[static_cast<size_t>(field)]; }

  void ContinueCmd();
  void CancelCmd();

 private:
  void onEdited(ClientField field);
  void onFocusLeft(ClientField field);

  Alerts& alerts_;
  bool metric_ = true;
  std::array<QLineEdit*, 5> fields_{};
  QLabel* heightRange_ = nullptr;
  QLabel* weightRange_ = nullptr;
};

}  // namespace tidemet
