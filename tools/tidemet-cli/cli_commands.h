#pragma once
// The commands of tidemet-cli. Each writes its results to `out` and refusals to `err`, and
// returns the exit status: 0 when every file was processed, 1 when one was refused.

#include <ostream>
#include <string>

#include "app/files/trial_workspace.h"
#include "cli_args.h"

namespace tidemet::cli {

int RunInfo(const CliOptions& o, std::ostream& out, std::ostream& err);
int RunAnalyze(const CliOptions& o, std::ostream& out, std::ostream& err);
int RunExport(const CliOptions& o, std::ostream& out, std::ostream& err);
int RunResave(const CliOptions& o, std::ostream& out, std::ostream& err);
int RunSimulate(const CliOptions& o, std::ostream& out, std::ostream& err);
int RunReport(const CliOptions& o, std::ostream& out, std::ostream& err);

// Opens `file` into `w` as analyze does (working folder, the file's client, pair, mode, units and
// stroke of the options) and analyses it; false, after saying why on `err`, when it was refused.
bool OpenAndAnalyze(TrialWorkspace& w, const CliOptions& o, const std::string& file, std::ostream& err);

// Whether saving to `target` (and the summary beside a data file) may go ahead: a read-only file
// is replaced only with --force; otherwise says why on `err`.
bool mayReplace(const CliOptions& o, const std::string& target, std::ostream& err);

// Dispatches a parsed command line; wrong usage gives 2 with the usage text on `err`.
int RunCli(const ParsedArgs& parsed, std::ostream& out, std::ostream& err);

}  // namespace tidemet::cli
