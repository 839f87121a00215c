#pragma once
// Draws report pages (text lines at print columns) on a printer or into a PDF, in a fixed-pitch
// font sized so that a full page of lines and columns fits the printable area. The client,
// comparison and analysis windows and the command-line tool all print through here.

#include <QString>
#include <memory>
#include <optional>
#include <string>

#include "app/analysis/report_layout.h"

class QPagedPaintDevice;
class QPainter;

namespace tidemet {

// Paints documents one page after another on one device (one print job).
class ReportRenderer {
 public:
  explicit ReportRenderer(QPagedPaintDevice& device);
  ~ReportRenderer();
  ReportRenderer(const ReportRenderer&) = delete;
  ReportRenderer& operator=(const ReportRenderer&) = delete;

  // False when the device could not be painted on (no printer, unwritable file).
  bool ok() const;
  bool add(const ReportDocument& doc);
  // Ends the job; false when it failed.
  bool finish();
  int pagesPainted() const { return pages_; }

 private:
  void paintPage(const ReportPage& page);

  QPagedPaintDevice& device_;
  std::unique_ptr<QPainter> painter_;
  double lineHeight_ = 0;
  double ascent_ = 0;
  int pages_ = 0;
};

// The document as a PDF file, written crash-safely; nothing on success, else why not.
std::optional<std::string> WriteReportPdf(const std::string& path, const ReportDocument& doc);

// The PDF's bytes (for the command-line tool's standard output and for tests).
std::string ReportPdfBytes(const ReportDocument& doc);

}  // namespace tidemet
