#include "app/ui/trial_export_dialog.h"

#include <QFileDialog>
#include <QFileInfo>

#include "app/export/trial_export.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

const QString kEdfFilter = QStringLiteral("EDF+ (*.edf)");
const QString kCsvFilter = QStringLiteral("CSV, comma-separated (*.csv)");

}  // namespace

void ExportTrialWithDialog(QWidget* parent, const Session& s, Alerts& alerts) {
  // Say why before asking for a file that could not be written anyway.
  if (const ExportPlan plan = PlanTrialExport(s); !plan.trial) {
    alerts.show(Alert{std::string(AppTitle), plan.error, AlertIcon::Exclamation, AlertButtons::Ok});
    return;
  }
  // The trial's own name with the new extension, in the trial's folder.
  QString start;
  if (!s.CurrentFileName.empty()) {
    const QFileInfo trial(QString::fromStdString(s.CurrentFileName));
    start = trial.dir().filePath(trial.completeBaseName() + QStringLiteral(".edf"));
  }
  QFileDialog dialog(parent, QString::fromStdString(std::string(AppTitle) + " Export"), start);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters({kEdfFilter, kCsvFilter});
  dialog.setDefaultSuffix(QStringLiteral("edf"));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& f) {
    dialog.setDefaultSuffix(f == kCsvFilter ? QStringLiteral("csv") : QStringLiteral("edf"));
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;

  const std::string path = dialog.selectedFiles().first().toStdString();
  // The chosen filter decides the format; a name typed with the other extension keeps it.
  const ExportFormat format =
      dialog.selectedNameFilter() == kCsvFilter ? ExportFormat::Csv : ExportFormat::Edf;
  if (auto error = ExportTrial(s, path, format)) alerts.show(ExportFailedAlert(path, *error));
}

}  // namespace tidemet
