#pragma once
// The results of one analysed file as JSON or as a readable table.

#include <string>

#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet::cli {

std::string AnalysisJson(const Session& s, const std::string& file, const std::vector<Alert>& alerts);
std::string AnalysisText(const Session& s, const std::string& file, const std::vector<Alert>& alerts);

}  // namespace tidemet::cli
