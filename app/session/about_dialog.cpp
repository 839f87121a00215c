#include "app/session/about_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/session/main_commands.h"
#include "app/ui/logo.h"

namespace tidemet {

AboutDialog::AboutDialog(const AppInfo& info, QWidget* parent) : QDialog(parent) {
  AboutText about = AboutBox(info);
  setWindowTitle(QString::fromStdString(about.title));
  setModal(true);

  auto* logo = new QLabel(this);
  logo->setPixmap(TidemetLogo(96));
  logo->setAlignment(Qt::AlignTop);

  auto* lines = new QVBoxLayout;
  for (size_t i = 0; i < about.lines.size(); ++i) {
    auto* label = new QLabel(QString::fromStdString(about.lines[i]), this);
    label->setObjectName(QStringLiteral("aboutLine%1").arg(i + 1));
    if (i == 0) {
      QFont big = label->font();
      big.setPointSizeF(big.pointSizeF() * 2.2);
      big.setBold(true);
      label->setFont(big);
    }
    lines->addWidget(label);
  }
  lines->addStretch(1);

  auto* continueButton = new QPushButton(tr("Continue"), this);
  continueButton->setObjectName(QStringLiteral("AboutContinueCmd"));
  continueButton->setDefault(true);
  connect(continueButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(logo);
  top->addSpacing(16);
  top->addLayout(lines, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(continueButton, 0, Qt::AlignRight);
}

}  // namespace tidemet
