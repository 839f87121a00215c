#pragma once
// A trial as comma-separated text: a header row, then one row per sample with its time in
// seconds and the force of every recorded channel. Lines end in CrLf like every text file of
// the system; the text is UTF-8.

#include <string>

#include "app/export/trial_export.h"

namespace tidemet {

std::string CsvTrialText(const Session& s, const TrialExport& t);

}  // namespace tidemet
