#include "app/ui/client_list_printing.h"

#include <QFontDatabase>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

namespace tidemet {

QFont ClientListFont() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setFamily(QStringLiteral("Courier"));
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

int PaintClientListPages(QPagedPaintDevice& device, const std::vector<PrintLine>& lines) {
  QPainter painter;
  if (!painter.begin(&device)) return 0;
  QFont font = ClientListFont();
  font.setPointSizeF(10);
  painter.setFont(font);
  const QFontMetricsF metrics(font, &device);
  const QRectF page = device.pageLayout().paintRectPixels(device.logicalDpiX());
  const double lineHeight = metrics.lineSpacing();
  const int linesPerPage = std::max(1, static_cast<int>(page.height() / lineHeight));

  int pages = 1;
  int onPage = 0;
  for (const PrintLine& line : lines) {
    if (onPage == linesPerPage) {
      device.newPage();
      ++pages;
      onPage = 0;
    }
    const double y = onPage * lineHeight + metrics.ascent();
    painter.drawText(QPointF(0, y), QString::fromStdString(PrintLineText(line)));
    ++onPage;
  }
  painter.end();
  return pages;
}

bool PrintClientList(QWidget* parent, const std::vector<PrintLine>& lines) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  return PaintClientListPages(printer, lines) > 0;
}

bool ExportClientListPdf(const QString& path, const std::vector<PrintLine>& lines) {
  QPdfWriter writer(path);
  writer.setPageSize(QPageSize(QPageSize::A4));
  writer.setResolution(300);
  return PaintClientListPages(writer, lines) > 0;
}

}  // namespace tidemet
