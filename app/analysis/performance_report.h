#pragma once
// The performance report of the analysed trial and the comparison report of the comparison
// window, as pages of text lines.

#include <string>
#include <vector>

#include "app/analysis/analysis_grids.h"
#include "app/analysis/report_layout.h"
#include "app/session/session.h"

namespace tidemet {

// The line under the report title.
inline constexpr const char* kReportTrademarkLine =
    "TIDEMET is a trademark of the Tidemet developers.";

// The heading every report of this session prints (institution lines from the settings).
ReportHeading SessionReportHeading(const Session& s, std::string title);

// The report of the trial in `s` as the grids show it now (run RecomputeAnalysis first).
// `fileDate` is the date printed beside the file name.
ReportDocument PerformanceReport(const Session& s, const std::string& fileDate);

// The comparison report: `meansKind` is "1st Half", "2nd Half", "% Change" or "Overall"; each
// row holds the date and the eight values of one compared file.
ReportDocument ComparisonReport(const Session& s, const std::string& meansKind,
                                const std::vector<GridRow>& rows);

// The column heading block over the repetition columns: the pair's channels, the phase names and
// the quantities of the mode. `firstCell` are the three cells of grid column 0.
std::vector<std::string> ReportColumnHeadings(const Session& s,
                                              const std::array<std::string, 3>& firstCell);

// The means rows as printed: "1stHalf", "2ndHalf", "Overall", "%Change", with the repetition
// ranges when the means grid names them.
std::vector<std::string> ReportMeansLines(const MeansGrid& means);

// The date a file was last written, as "MM-DD-YYYY"; empty when the file cannot be read.
std::string FileDateText(const std::string& path);
// The local time a file was last written in a strftime `format`; empty when it cannot be read.
std::string FileWrittenText(const std::string& path, const char* format);

}  // namespace tidemet
