#pragma once
// The Print and Export PDF steps every report window shares: ask the user, draw the report,
// and tell a failure through the alerts seam.

#include <QString>

#include "app/analysis/report_layout.h"

class QWidget;

namespace tidemet {

class Alerts;

// Asks for a printer and prints `doc` on it; nothing happens when the user cancels.
void PrintReportWithDialog(QWidget* parent, const QString& title, const ReportDocument& doc,
                           Alerts& alerts);

// Asks for a PDF file, suggesting `suggested`, and writes `doc` there crash-safely.
void ExportReportPdfWithDialog(QWidget* parent, const QString& title, const QString& suggested,
                               const ReportDocument& doc, Alerts& alerts);

}  // namespace tidemet
