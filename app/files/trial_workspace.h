#pragma once
// A session with everything opening, analysing and saving a trial needs, set up as the program
// starts: the settings and client list of a working folder, or those of a first start. Used by
// the command-line tool for batch work.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/analysis/repetition_analyzer.h"
#include "app/files/client_list.h"
#include "app/files/list_files.h"
#include "app/files/summary_file.h"
#include "app/files/trial_file.h"
#include "app/files/trial_seams.h"

namespace tidemet {

class TrialWorkspace {
 public:
  TrialWorkspace();

  // Takes company.lst and client.lst from `folder`; without a folder, or a folder holding
  // neither list, the first-start defaults. Returns why a list could not be read.
  ListError load(const std::optional<std::filesystem::path>& folder);

  // The client named in the file at `path` becomes current, as a user selects it in the client
  // window before opening (the list entry when there is one). A file that cannot be read
  // leaves the client as it is; opening it reports why.
  void selectFileClient(const std::string& path);

  // OpenTrialFile; the refusal message is in alerts.
  bool open(const std::string& path) { return OpenTrialFile(*session, ctx, path); }
  bool save(const std::string& path) { return SaveTrialFile(*session, ctx, path); }

  std::unique_ptr<Session> session;
  RecordingAlerts alerts;
  ClientList clients;
  NoComparison comparison;
  RepetitionAnalyzer analyzer;
  SummaryFile summary{analyzer, alerts};
  TrialFileContext ctx{alerts, clients, comparison, summary};
};

}  // namespace tidemet
