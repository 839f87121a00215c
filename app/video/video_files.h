#pragma once
// The names of the video files and how a captured video is paired with its trial: kept as
// TEMP.AVI beside TEMP.DAT until the trial is saved, then moved to the saved trial's name.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/session/session.h"

namespace tidemet {

// The file the capture writes, in the working folder.
inline constexpr const char* kCaptureFileName = "capture.avi";
inline constexpr const char* kTempDataName = "TEMP.DAT";
inline constexpr const char* kTempVideoName = "TEMP.AVI";

// A trial kept after a recording: its data file and the video beside it.
struct TrialPair {
  std::filesystem::path data;
  std::filesystem::path video;
};

// Where a finished recording is kept in `folder`: TEMP.DAT and TEMP.AVI, or with autosave in
// the Swimming mode ClientCode + "1" + the stroke's first two letters, in upper case.
TrialPair KeptPair(const Session& s, const std::filesystem::path& folder);

// The pair a File Save to `chosen` makes: its base name with ".DAT" and ".AVI".
TrialPair SavedPair(const std::filesystem::path& chosen);

// The video saved beside the data file `dataPath` (base name + ".AVI", or ".avi" as a user may
// have renamed it), when there is one.
std::optional<std::filesystem::path> FindPairedVideo(const std::filesystem::path& dataPath);

// Moves a file of the pair. A rename when both are on one disk; otherwise a crash-safe copy
// that removes the source only once the copy is complete. Returns why it failed; the source is
// then untouched.
std::optional<std::string> MoveVideoFile(const std::filesystem::path& from,
                                         const std::filesystem::path& to);

// File Save of a trial kept as `held`: its video (when `withVideo`) and its data file move to
// the chosen name, where the data file is then written again. A video that cannot be moved
// stays where it was and `videoError` says so.
struct PairSave {
  TrialPair saved;
  bool videoMoved = false;
  std::optional<std::string> videoError;
};
PairSave MovePairForSave(const TrialPair& held, bool withVideo,
                         const std::filesystem::path& chosen);

// The message for a video that could not be moved to `to`; it stays where it was.
std::string VideoNotMovedText(const std::filesystem::path& from, const std::filesystem::path& to,
                              const std::string& why);

// The reference stroke video for SwimFlag 1 to 4; empty for other values.
std::string ReferenceVideoName(int16_t swimFlag);

// The playback window's title.
std::string PlaybackTitle(std::string_view programTitle, const std::filesystem::path& video);

}  // namespace tidemet
