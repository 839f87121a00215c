#include "app/ui/report_dialogs.h"

#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <string>

#include "app/session/alerts.h"
#include "app/session/text.h"
#include "app/ui/report_renderer.h"

namespace tidemet {

void PrintReportWithDialog(QWidget* parent, const QString& title, const ReportDocument& doc,
                           Alerts& alerts) {
  QPrinter printer;
  QPrintDialog dialog(&printer, parent);
  dialog.setWindowTitle(title);
  if (dialog.exec() != QDialog::Accepted) return;
  ReportRenderer renderer(printer);
  if (!renderer.add(doc) || !renderer.finish())
    alerts.show({std::string(AppTitle) + " Error", "The report could not be printed."});
}

void ExportReportPdfWithDialog(QWidget* parent, const QString& title, const QString& suggested,
                               const ReportDocument& doc, Alerts& alerts) {
  const QString path =
      QFileDialog::getSaveFileName(parent, title, suggested, QStringLiteral("PDF (*.pdf)"));
  if (path.isEmpty()) return;
  if (auto error = WriteReportPdf(path.toStdString(), doc))
    alerts.show({std::string(AppTitle) + " Error",
                 "The PDF could not be written." + std::string(CrLf) + *error});
}

}  // namespace tidemet
