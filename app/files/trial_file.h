#pragma once
// Opening and saving a trial: the data file (.dat) here, the summary (.sum) through its seam.

#include <string>
#include <string_view>

#include "app/files/trial_file_format.h"
#include "app/files/trial_seams.h"
#include "app/session/session.h"

namespace tidemet {

// `OpenTrialFile`: the name's last three characters (upper-cased) choose the reader, "DAT" the
// data file and anything else the summary. Returns true when the file was opened. A refused
// file is reported through ctx.alerts, sets OpenFailed and leaves the trial in memory whole.
bool OpenTrialFile(Session& s, TrialFileContext& ctx, const std::string& path);

// The data-file part of OpenTrialFile on bytes already read (`path` names them in messages).
bool OpenTrialBytes(Session& s, TrialFileContext& ctx, const std::string& path, std::string_view bytes);

// `SaveTrialFile`: a name ending in "DAT" writes the data file and, unless autosave is on, the
// summary beside it, as a pair; any other name writes the summary alone. A summary opened and
// saved again keeps its stored rows, and cannot be saved as a data file. Replacing a read-only
// file is asked first. A failed save is reported, keeps the old files and returns false.
bool SaveTrialFile(Session& s, TrialFileContext& ctx, const std::string& path);

// The summary written beside a data file: the last three characters become "SUM", in the case
// the name had ("trial.dat" gives "trial.sum").
std::string SummaryPathFor(const std::string& dataPath);

// Makes the file's client current, as opening a file of another client does: the first list
// entry whose name is `fileClient` is selected (entry 0 when none is) and gives the current
// name, code, height and weight. With an empty list the file's name stands alone.
void SelectFileClient(Session& s, ClientListSeam& list, const std::string& fileClient);

// The path as the messages show it: upper-cased.
std::string UpperPath(std::string_view path);

// The messages of a refused open.
Alert UnknownVersionAlert(const std::string& upperPath);
Alert WrongClientAlert(const std::string& upperPath, const std::string& fileClient);
Alert MismatchAlert(const std::string& upperPath);
Alert DamagedFileAlert(const std::string& upperPath, const std::string& reason);
// Asked before a save replaces a file whose permissions make it read-only.
Alert ReplaceReadOnlyQuestion(const std::string& upperPath);

}  // namespace tidemet
