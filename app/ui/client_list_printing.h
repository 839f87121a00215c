#pragma once
// Puts the printed client list on paper or into a PDF file. The one place where the client
// window's pages are drawn, so that it can follow the program's shared report printing.

#include <QFont>
#include <QString>
#include <vector>

#include "app/clients/client_commands.h"

class QPagedPaintDevice;
class QWidget;

namespace tidemet {

// The fixed-pitch font that lines the entries' columns up, on screen and on paper.
QFont ClientListFont();

// Draws the lines in a fixed-pitch font, page after page. Returns the number of pages.
int PaintClientListPages(QPagedPaintDevice& device, const std::vector<PrintLine>& lines);

// Asks for a printer and prints; false when cancelled or the printer failed.
bool PrintClientList(QWidget* parent, const std::vector<PrintLine>& lines);

// Writes the pages to a PDF file; false when the file could not be written.
bool ExportClientListPdf(const QString& path, const std::vector<PrintLine>& lines);

}  // namespace tidemet
