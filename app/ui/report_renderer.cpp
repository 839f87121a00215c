#include "app/ui/report_renderer.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>

#include "app/files/safe_file.h"

namespace tidemet {
namespace {

QFont reportFont() {
  QFont font(QStringLiteral("DejaVu Sans Mono"));
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

ReportRenderer::ReportRenderer(QPagedPaintDevice& device) : device_(device) {
  painter_ = std::make_unique<QPainter>();
  if (!painter_->begin(&device_)) return;
  // The largest font that fits the widest line and the longest page into the painted area.
  const QRect area = painter_->viewport();
  QFont font = reportFont();
  font.setPixelSize(100);
  const QFontMetricsF probe(font, &device_);
  const double byWidth =
      area.width() / (kReportColumns * probe.horizontalAdvance(QLatin1Char('M')));
  const double byHeight = area.height() / (kReportPageLines * probe.lineSpacing());
  font.setPixelSize(std::max(1, static_cast<int>(100 * std::min(byWidth, byHeight))));
  painter_->setFont(font);
  const QFontMetricsF metrics(font, &device_);
  lineHeight_ = metrics.lineSpacing();
  ascent_ = metrics.ascent();
}

ReportRenderer::~ReportRenderer() {
  if (painter_ && painter_->isActive()) painter_->end();
}

bool ReportRenderer::ok() const { return painter_ && painter_->isActive(); }

void ReportRenderer::paintPage(const ReportPage& page) {
  double y = ascent_;
  for (const std::string& line : page.lines) {
    // Report lines are single-byte text of the record (Windows-1252 covers Latin-1 here).
    if (!line.empty())
      painter_->drawText(QPointF(0, y),
                         QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    y += lineHeight_;
  }
}

bool ReportRenderer::add(const ReportDocument& doc) {
  if (!ok()) return false;
  for (const ReportPage& page : doc.pages) {
    if (pages_ > 0 && !device_.newPage()) return false;
    paintPage(page);
    ++pages_;
  }
  return true;
}

bool ReportRenderer::finish() {
  if (!ok()) return false;
  return painter_->end();
}

std::string ReportPdfBytes(const ReportDocument& doc) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::Letter));
    writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
    writer.setResolution(300);
    writer.setTitle(QStringLiteral("Tidemet report"));
    writer.setCreator(QStringLiteral("Tidemet"));
    ReportRenderer renderer(writer);
    if (!renderer.add(doc) || !renderer.finish()) return {};
  }
  return buffer.data().toStdString();
}

std::optional<std::string> WriteReportPdf(const std::string& path, const ReportDocument& doc) {
  const std::string bytes = ReportPdfBytes(doc);
  if (bytes.empty()) return std::string("The report could not be drawn.");
  return WriteFileAtomically(path, bytes);
}

}  // namespace tidemet
