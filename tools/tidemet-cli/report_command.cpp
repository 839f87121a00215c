// tidemet-cli report: the performance report of one trial, as PDF or as its text lines.
#include <fstream>
#include <optional>

#include "app/analysis/performance_report.h"
#include "cli_commands.h"

#ifdef TIDEMET_CLI_PDF
#include <QGuiApplication>
#include <cstdlib>
#include <memory>

#include "app/ui/report_renderer.h"
#endif

namespace tidemet::cli {
namespace {

// Drawing text needs the font database of a GUI application; without a display it is drawn
// offscreen.
std::optional<std::string> writePdf(const std::string& path, const ReportDocument& doc) {
#ifdef TIDEMET_CLI_PDF
  std::unique_ptr<QGuiApplication> app;
  if (!QCoreApplication::instance()) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "tidemet-cli";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QGuiApplication>(argc, argv);
  }
  return WriteReportPdf(path, doc);
#else
  (void)path;
  (void)doc;
  return std::string("this build of tidemet-cli writes no PDF; use --format text");
#endif
}

}  // namespace

int RunReport(const CliOptions& o, std::ostream& out, std::ostream& err) {
  const std::string& file = o.files.at(0);
  TrialWorkspace w;
  if (!OpenAndAnalyze(w, o, file, err)) return 1;
  const ReportDocument doc = PerformanceReport(*w.session, FileDateText(file));
  if (o.text && !o.out) {
    out << ReportPlainText(doc);
    return 0;
  }
  if (o.text) {
    std::ofstream text(*o.out, std::ios::binary);
    text << ReportPlainText(doc);
    if (text.flush()) return 0;
    err << "tidemet-cli: " << *o.out << ": the report could not be written\n";
    return 1;
  }
  if (auto error = writePdf(*o.out, doc)) {
    err << "tidemet-cli: " << *o.out << ": " << *error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace tidemet::cli
