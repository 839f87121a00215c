#include "app/video/video_files.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "app/files/safe_file.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

// The longest video the program will copy: five minutes of trial at several megabytes a
// second leaves ample room.
constexpr size_t kLargestVideoBytes = size_t{4} << 30;

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

}  // namespace

TrialPair KeptPair(const Session& s, const std::filesystem::path& folder) {
  if (s.ExerciseMode == 3 && s.AutosaveFlag != 0) {
    const std::string base = Upper(s.ClientCode + "1" + s.Stroke.substr(0, 2));
    return {folder / (base + ".DAT"), folder / (base + ".AVI")};
  }
  return {folder / kTempDataName, folder / kTempVideoName};
}

TrialPair SavedPair(const std::filesystem::path& chosen) {
  std::filesystem::path base = chosen;
  base.replace_extension();
  return {base.string() + ".DAT", base.string() + ".AVI"};
}

std::optional<std::filesystem::path> FindPairedVideo(const std::filesystem::path& dataPath) {
  std::filesystem::path base = dataPath;
  base.replace_extension();
  for (const char* ext : {".AVI", ".avi"}) {
    const std::filesystem::path candidate = base.string() + ext;
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate;
  }
  return std::nullopt;
}

std::optional<std::string> MoveVideoFile(const std::filesystem::path& from,
                                         const std::filesystem::path& to) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(from, ec))
    return "The file " + from.string() + " is missing.";
  if (std::filesystem::equivalent(from, to, ec)) return std::nullopt;
  std::filesystem::rename(from, to, ec);
  if (!ec) return std::nullopt;
  if (ec != std::errc::cross_device_link) return ec.message();
  std::string why;
  const auto bytes = ReadWholeFile(from, kLargestVideoBytes, &why);
  if (!bytes) return why;
  if (auto error = WriteFileAtomically(to, *bytes)) return error;
  std::filesystem::remove(from, ec);
  return std::nullopt;
}

PairSave MovePairForSave(const TrialPair& held, bool withVideo,
                         const std::filesystem::path& chosen) {
  PairSave result;
  result.saved = SavedPair(chosen);
  if (withVideo) {
    if (auto why = MoveVideoFile(held.video, result.saved.video))
      result.videoError = VideoNotMovedText(held.video, result.saved.video, *why);
    else
      result.videoMoved = true;
  }
  // The data file is written again under its new name; a move that fails leaves only a stale
  // temporary trial behind.
  std::error_code ec;
  if (!std::filesystem::equivalent(held.data, result.saved.data, ec))
    std::filesystem::rename(held.data, result.saved.data, ec);
  return result;
}

std::string VideoNotMovedText(const std::filesystem::path& from, const std::filesystem::path& to,
                              const std::string& why) {
  return "The video could not be saved as " + to.string() + "." + std::string(CrLf) + why +
         std::string(CrLf) + "It is kept as " + from.string() + ".";
}

std::string ReferenceVideoName(int16_t swimFlag) {
  switch (swimFlag) {
    case 1:
      return "M11FRFROA.AVI";
    case 2:
      return "M11BRFRO2.AVI";
    case 3:
      return "M11BKFROA.AVI";
    case 4:
      return "M11FLFRO2.AVI";
    default:
      return {};
  }
}

std::string PlaybackTitle(std::string_view programTitle, const std::filesystem::path& video) {
  return std::string(programTitle) + " Video Playback - " + video.filename().string();
}

}  // namespace tidemet
