#include "app/session/help_window.h"

#include <QAction>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace tidemet {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(tr("Tidemet Help"));
  resize(760, 620);

  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);

  auto* bar = new QToolBar(this);
  QAction* back = bar->addAction(tr("&Back"), browser_, &QTextBrowser::backward);
  QAction* forward = bar->addAction(tr("&Forward"), browser_, &QTextBrowser::forward);
  bar->addAction(tr("&Contents"), this, &HelpWindow::showContents);
  back->setShortcut(QKeySequence::Back);
  forward->setShortcut(QKeySequence::Forward);
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(bar);
  layout->addWidget(browser_);
}

void HelpWindow::showContents() {
  const QUrl contents(QString::fromLatin1(kHelpContentsUrl));
  if (browser_->source() != contents) browser_->setSource(contents);
  browser_->verticalScrollBar()->setValue(0);  // at its top, even when it was open already
  show();
  raise();
  activateWindow();
}

void HelpWindow::close() { QWidget::close(); }

}  // namespace tidemet
