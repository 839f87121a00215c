#include "app/session/settings_window.h"

#include <QColorDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/clients/storable_text.h"
#include "app/session/text.h"
#include "app/ui/colors.h"

namespace tidemet {
namespace {

constexpr const char* kComNames[16] = {"Com1",  "Com2",  "Com3",  "Com4",  "Com5",  "Com6",
                                       "Com7",  "Com8",  "Com9",  "Com10", "Com11", "Com12",
                                       "Com13", "Com14", "Com15", "Com16"};
constexpr const char* kModeNames[8] = {"ExMenu",     "ResearchMenu", "SwimMenu",   "Swim10Menu",
                                       "Swim15Menu", "Swim20Menu",   "Swim25Menu", "TherapyMenu"};
constexpr const char* kInstitutionNames[6] = {"InstText",      "InstStreetText", "InstCityText",
                                              "InstStateText", "InstZipText",    "InstPhoneText"};
constexpr const char* kInstitutionCaptions[6] = {
    "Name:", "Street:", "City:", "State:", "Zip Code:", "Phone:"};

// "Com &1" .. "Com &9", then "Com 1&0" .. "Com 1&6".
QString comCaption(int port) {
  return port < 10 ? QStringLiteral("Com &%1").arg(port)
                   : QStringLiteral("Com 1&%1").arg(port - 10);
}

void check(const QList<QAction*>& group, int index) {
  for (int i = 0; i < group.size(); ++i) group[i]->setChecked(i == index);
}

}  // namespace

SettingsWindow::SettingsWindow(Session& session, Alerts& alerts, SettingsDevices& devices,
                               HelpViewer& help, QWidget* parent)
    : QDialog(parent), session_(session), alerts_(alerts), devices_(devices), help_(help) {
  setObjectName(QStringLiteral("Custom"));
  setWindowTitle(QString::fromStdString(std::string(AppTitle) + " Settings"));
  setWindowModality(Qt::ApplicationModal);
  buildMenus();
  buildBoxes();
  refreshChecks();
  ApplyWindowColors(*content_, session_.WindowBackColor, session_.WindowForeColor);
}

QAction* SettingsWindow::addItem(QMenu* menu, const char* name, const QString& caption,
                                 bool checkable) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(QString::fromLatin1(name));
  action->setCheckable(checkable);
  return action;
}

QAction* SettingsWindow::menuItem(const QString& name) const { return findChild<QAction*>(name); }

void SettingsWindow::buildMenus() {
  auto* bar = new QMenuBar(this);

  QMenu* model = bar->addMenu(tr("&Model"));
  for (int i = 0; i < static_cast<int>(kModelMenus.size()); ++i) {
    const ModelMenu& m = kModelMenus[i];
    QAction* item = addItem(model, std::string(m.name).c_str(),
                            QString::fromUtf8(m.caption.data(), int(m.caption.size())));
    connect(item, &QAction::triggered, this,
            [this, i] { after(ChooseModelMenu(session_, i, devices_, alerts_)); });
    modelItems_.append(item);
  }

  QMenu* port = bar->addMenu(tr("&Port"));
  for (int p = 1; p <= 16; ++p) {
    QAction* item = addItem(port, kComNames[p - 1], comCaption(p));
    connect(item, &QAction::triggered, this, [this, p] { after(ChooseComPort(session_, p)); });
    comItems_.append(item);
  }
  port->addSeparator();
  const char* nodeNames[3] = {"Node92Menu", "Node689Menu", "Node987Menu"};
  for (int n = 0; n < 3; ++n) {
    QAction* item = addItem(port, nodeNames[n], QStringLiteral("Node %1").arg(kUnitNodes[n]));
    connect(item, &QAction::triggered, this, [this, n] { after(ChooseNode(session_, n)); });
    nodeItems_.append(item);
  }

  QMenu* computer = bar->addMenu(tr("&Computer"));
  computerItems_.append(addItem(computer, "Computer0Menu", QStringLiteral("&386/486")));
  computerItems_.append(addItem(computer, "Computer1Menu", QStringLiteral("&Pentium")));
  for (int c = 0; c < 2; ++c)
    connect(computerItems_[c], &QAction::triggered, this,
            [this, c] { after(ChooseComputer(session_, c)); });

  QMenu* application = bar->addMenu(tr("&Application"));
  for (int m = 0; m < 8; ++m) {
    QAction* item = addItem(application, kModeNames[m], QString());
    connect(item, &QAction::triggered, this,
            [this, m] { after(ChooseAppMode(session_, static_cast<AppMode>(m))); });
    modeItems_.append(item);
  }
  application->addSeparator();
  autosave_ = addItem(application, "AutosaveMenu", QStringLiteral("&Autosave"));
  connect(autosave_, &QAction::triggered, this, [this] { after(ToggleAutosave(session_)); });

  QMenu* colors = bar->addMenu(tr("C&olors"));
  const struct {
    const char* name;
    const char* caption;
    ColorItem item;
  } colorItems[4] = {{"ColorWForeMenu", "Window &Foreground", ColorItem::WindowFore},
                     {"ColorWBackMenu", "Window &Background", ColorItem::WindowBack},
                     {"ColorDForeMenu", "&Data Foreground", ColorItem::DataFore},
                     {"ColorDBackMenu", "D&ata Background", ColorItem::DataBack}};
  for (const auto& c : colorItems) {
    QAction* item = addItem(colors, c.name, QString::fromLatin1(c.caption), false);
    ColorItem which = c.item;
    connect(item, &QAction::triggered, this, [this, which] { askColor(which); });
  }
  colors->addSeparator();
  QAction* bw = addItem(colors, "BWMenu", QStringLiteral("Black on &White"), false);
  connect(bw, &QAction::triggered, this, [this] { after(BlackOnWhite(session_)); });

  QMenu* help = bar->addMenu(tr("&Help"));
  QAction* contents = addItem(help, "CustomHelpMenu", tr("&Contents"), false);
  contents->setShortcut(QKeySequence(Qt::Key_F1));
  connect(contents, &QAction::triggered, this, [this] { help_.showContents(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setMenuBar(bar);
  content_ = new QWidget(this);
  layout->addWidget(content_);
}

void SettingsWindow::buildBoxes() {
  auto* form = new QFormLayout;
  for (int i = 0; i < 6; ++i) {
    boxes_[i] = new QLineEdit(content_);
    boxes_[i]->setObjectName(QString::fromLatin1(kInstitutionNames[i]));
    boxes_[i]->setMinimumWidth(320);
    form->addRow(QString::fromLatin1(kInstitutionCaptions[i]), boxes_[i]);
  }
  auto* institution = new QLabel(tr("Institution"), content_);
  QFont bold = institution->font();
  bold.setBold(true);
  institution->setFont(bold);

  auto* continueButton = new QPushButton(tr("Continue"), content_);
  continueButton->setObjectName(QStringLiteral("CustomContinueCmd"));
  continueButton->setDefault(true);
  connect(continueButton, &QPushButton::clicked, this, &SettingsWindow::CustomContinueCmd);

  auto* layout = new QVBoxLayout(content_);
  layout->addWidget(institution);
  layout->addLayout(form);
  layout->addStretch(1);
  layout->addWidget(continueButton, 0, Qt::AlignRight);
}

void SettingsWindow::showSettings() {
  for (int i = 0; i < 6; ++i)
    boxes_[i]->setText(QString::fromStdString(session_.InstitutionLines[i]));
  refreshChecks();
  show();
  raise();
  activateWindow();
}

void SettingsWindow::CustomContinueCmd() {
  std::array<std::string, 6> lines;
  for (int i = 0; i < 6; ++i) lines[i] = boxes_[i]->text().toStdString();
  if (!InstitutionLinesStorable({lines.begin(), lines.end()}, alerts_)) return;
  TakeInstitutionLines(session_, lines);
  hide();
  emit continued();
}

void SettingsWindow::askColor(ColorItem item) {
  int32_t current = 0;
  switch (item) {
    case ColorItem::WindowFore:
      current = session_.WindowForeColor;
      break;
    case ColorItem::WindowBack:
      current = session_.WindowBackColor;
      break;
    case ColorItem::DataFore:
      current = session_.DataForeColor;
      break;
    case ColorItem::DataBack:
      current = session_.DataBackColor;
      break;
  }
  QColor chosen = QColorDialog::getColor(ColorFromValue(current), this);
  if (chosen.isValid()) chooseColor(item, chosen);  // cancelling the dialog changes nothing
}

void SettingsWindow::chooseColor(ColorItem item, const QColor& color) {
  after(SetColor(session_, item, ColorValue(color)));
}

void SettingsWindow::after(unsigned refresh) {
  refreshChecks();
  if (refresh & kRefreshColors) {
    ApplyWindowColors(*content_, session_.WindowBackColor, session_.WindowForeColor);
    emit colorsChanged();
  }
}

void SettingsWindow::refreshChecks() {
  const SettingsChecks& checks = session_.settingsChecks;
  check(modelItems_, checks.model);
  check(comItems_, checks.com - 1);
  check(nodeItems_, checks.node);
  check(computerItems_, checks.computer);
  check(modeItems_, static_cast<int>(checks.appMode));
  autosave_->setChecked(checks.autosave);
  // The swim captions follow the units (yards or metres).
  modeItems_[0]->setText(QStringLiteral("&Exercise"));
  modeItems_[1]->setText(QStringLiteral("&Research"));
  modeItems_[2]->setText(QStringLiteral("&Swimming over unmeasured distance"));
  for (int d = 0; d < 4; ++d)
    modeItems_[3 + d]->setText(QString::fromStdString(session_.labels.units.SwimMenus[d]));
  modeItems_[7]->setText(QStringLiteral("&Therapy"));
}

}  // namespace tidemet
