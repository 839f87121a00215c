#include "app/clients/client_editor_dialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/ui/client_list_printing.h"
#include "app/clients/storable_text.h"

namespace tidemet {
namespace {

struct FieldInfo {
  const char* objectName;
  const char* caption;
  const char* range;  // empty for height and weight, whose range follows the units
};

constexpr std::array<FieldInfo, 5> kFields = {{
    {"ClientText", "Name", "   0      20   characters"},
    {"IDText", "ID", "   0      12   characters"},
    {"HtText", "Height", ""},
    {"WtText", "Weight", ""},
    {"ClinicianText", "Clinician", "   0      16   characters"},
}};

}  // namespace

ClientEditor::ClientEditor(Alerts& alerts, QWidget* parent) : QDialog(parent), alerts_(alerts) {
  setObjectName(QStringLiteral("Ed"));
  setModal(true);
  auto* grid = new QGridLayout;
  const QFont fixed = ClientListFont();
  auto* minMax = new QLabel(tr("Min    Max"), this);
  minMax->setFont(fixed);
  grid->addWidget(minMax, 0, 2);
  for (size_t i = 0; i < kFields.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    const auto field = static_cast<ClientField>(i);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(kFields[i].objectName));
    fields_[i] = edit;
    auto* range = new QLabel(QString::fromLatin1(kFields[i].range), this);
    range->setFont(fixed);
    if (field == ClientField::Height) heightRange_ = range;
    if (field == ClientField::Weight) weightRange_ = range;
    grid->addWidget(new QLabel(tr(kFields[i].caption), this), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(range, row, 2);
    connect(edit, &QLineEdit::textEdited, this, [this, field] { onEdited(field); });
    if (field == ClientField::Height || field == ClientField::Weight)
      connect(edit, &QLineEdit::editingFinished, this, [this, field] { onFocusLeft(field); });
  }
  grid->setColumnStretch(1, 1);
  grid->setColumnMinimumWidth(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('M')) * 18);

  auto* continueButton = new QPushButton(tr("Continue"), this);
  continueButton->setObjectName(QStringLiteral("ContinueCmd"));
  continueButton->setDefault(true);
  auto* cancelButton = new QPushButton(tr("Cancel"), this);
  cancelButton->setObjectName(QStringLiteral("CancelCmd"));
  connect(continueButton, &QPushButton::clicked, this, &ClientEditor::ContinueCmd);
  connect(cancelButton, &QPushButton::clicked, this, &ClientEditor::CancelCmd);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(continueButton);
  buttons->addWidget(cancelButton);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addSpacing(8);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void ClientEditor::openWith(const QString& title, const ClientEditorText& text,
                            const UnitLabels& units, bool metric) {
  setWindowTitle(title);
  metric_ = metric;
  heightRange_->setText(QString::fromStdString(units.HeightRange));
  weightRange_->setText(QString::fromStdString(units.WeightRange));
  const std::array<const std::string*, 5> texts = {&text.name, &text.id, &text.height, &text.weight,
                                                   &text.clinician};
  for (size_t i = 0; i < fields_.size(); ++i)
    fields_[i]->setText(QString::fromStdString(*texts[i]));
  fields_[0]->setFocus();
  fields_[0]->selectAll();
  open();
}

ClientEditorText ClientEditor::text() const {
  auto at = [this](ClientField f) { return field(f)->text().toStdString(); };
  return ClientEditorText{at(ClientField::Name), at(ClientField::Id), at(ClientField::Height),
                          at(ClientField::Weight), at(ClientField::Clinician)};
}

void ClientEditor::onEdited(ClientField f) {
  QLineEdit* edit = field(f);
  const QString ruled = QString::fromStdString(FieldAfterChange(f, edit->text().toStdString()));
  if (ruled == edit->text()) return;
  const int cursor = edit->cursorPosition() - static_cast<int>(edit->text().size() - ruled.size());
  edit->setText(ruled);
  edit->setCursorPosition(std::clamp(cursor, 0, static_cast<int>(ruled.size())));
}

void ClientEditor::onFocusLeft(ClientField f) {
  const MeasureRange range = f == ClientField::Height ? HeightRange(metric_) : WeightRange(metric_);
  QLineEdit* edit = field(f);
  const QString corrected =
      QString::fromStdString(MeasureAfterFocusLoss(edit->text().toStdString(), range));
  if (corrected != edit->text()) edit->setText(corrected);
}

void ClientEditor::ContinueCmd() {
  const ClientEditorText t = text();
  if (!CheckStorable({{"Name", t.name}, {"ID", t.id}, {"Clinician", t.clinician}}, alerts_)) return;
  accept();
}

void ClientEditor::CancelCmd() { reject(); }

}  // namespace tidemet
