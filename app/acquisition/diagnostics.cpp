#include "app/acquisition/diagnostics.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/acquisition/stored_value.h"
#include "app/session/model_table.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

std::string_view trim(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r'))
    t.remove_suffix(1);
  return t;
}

std::string num(long long v) { return NumText(v); }

}  // namespace

CpuInfo ParseCpuInfo(std::string_view text) {
  CpuInfo info;
  bool seenProcessor = false;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string_view key = trim(line.substr(0, colon));
    const std::string_view value = trim(line.substr(colon + 1));
    if (key == "processor") {
      if (seenProcessor) break;  // the first processor speaks for all
      seenProcessor = true;
    } else if (key == "model name" && info.type.empty()) {
      info.type = value;
    } else if (key == "cpu MHz" && info.speed.empty()) {
      const double mhz = std::atof(std::string(value).c_str());
      if (std::isfinite(mhz) && mhz > 0 && mhz < 1e6) info.speed = num(std::llround(mhz)) + " MHz";
    }
  }
  return info;
}

CpuInfo ReadCpuInfo(const char* path) {
  std::ifstream in(path);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return ParseCpuInfo(text.str());
}

std::optional<std::string> DiagModelName(const Session& s) {
  switch (s.ModelCode) {
    case 0:
      return "QF8";
    case 1:
      return "RF1";
    case 2:
      return "QK1";
    case 3:
      return "QW8";
    case 4:
      return "QW2";
    case 5:
    case 6:
      return std::nullopt;
    case 8:
      return "RV2 - Model 8";
    case 13:
      return "QV4 - Model 13";
    case 16:
      return "RV2 - Model 16";
    case 17:
      return "RV2 - Model 17";
    case 21: {
      const int menu = s.settingsChecks.model;
      const bool qv4 = menu >= 0 && menu < static_cast<int>(kModelMenus.size()) &&
                       kModelMenus[static_cast<size_t>(menu)].name == "Model21QV4Menu";
      return qv4 ? "QV4 - Model 21" : "QV2 - Model 21";
    }
    case 22:
      return "QV2 - Model 22";
    case 23:
      return "QV4 - Model 22";
    default:
      if (s.ModelCode >= 7 && s.ModelCode <= 20) return "QV2 - Model " + num(s.ModelCode);
      return std::nullopt;
  }
}

long DataRate(int16_t sampleCount, float trialSeconds) {
  if (trialSeconds == 0.0f || !std::isfinite(trialSeconds)) return 0;
  return static_cast<long>(
      std::trunc(static_cast<double>(sampleCount) / static_cast<double>(trialSeconds)));
}

std::vector<DiagLabel> DiagLabels(const Session& s, const CpuInfo& cpu, const VideoFigures& video,
                                  int32_t moduleResult, uint32_t failedReadings) {
  std::string errorCode;
  if (s.ModelCode >= 18 && s.ModelCode <= 21)
    errorCode = "0 : dd = " + num(moduleResult);  // no error is pending while the dialog opens
  else if (s.ModelCode == 3)
    errorCode = num(s.UnitStatus);
  std::string model;
  if (auto name = DiagModelName(s)) model = *name;
  return {
      {"CPU Type:", cpu.type},
      {"CPU Speed:", cpu.speed},
      {"Delay:", num(s.DelayCount)},
      {"First Channel:", num(s.SaveFirstChannel)},
      {"Last Channel:", num(s.SaveLastChannel)},
      {"Number of Channels:", num(s.ChannelCount)},
      {"Error Code:", errorCode},
      {"Model:", model},
      {"Data Rate:", num(DataRate(s.SampleCount, s.TrialSeconds))},
      {"Video Time: ", NumText(video.videoTime)},
      {"Video Rate: ", NumText(video.videoRate)},
      {"Video Frames: ", num(video.videoFrames)},
      {"Data Time: ", NumText(s.TrialSeconds)},
      {"Dropped Frames: ", num(video.droppedFrames)},
      {"Last Frame: ", num(video.lastFrame)},
      {"ivalue(0): ", num(video.ivalue0)},
      {"Video Buffers: ", num(video.videoBuffers)},
      {"Failed Readings:", num(static_cast<long long>(failedReadings))},
  };
}

std::string DiagChannelText() { return JoinLines({"1", "2", "3", "4", "5", "6", "7", "8"}); }

std::string DiagValueText(const Session& s) {
  std::string text;
  for (int c = 0; c < kMaxChannels; ++c) {
    if (c > 0) text += CrLf;
    text += num(s.TrialData[static_cast<size_t>(c)]);
  }
  return text;
}

void DiagStoreReadings(Session& s, const ReadingSet& readings, Alerts& alerts) {
  StoreChannelReadings(s, readings, alerts);
}

Alert TransmissionAlert(int16_t modelCode) {
  std::string text = "Transmission values are out of range.";
  if (modelCode == 1)
    text += std::string(CrLf) + "Check that the power supplies" + std::string(CrLf) +
            "for the RSU and CIU are adequate.";
  return {std::string(AppTitle) + " Warning", text, AlertIcon::Exclamation, AlertButtons::Ok};
}

}  // namespace tidemet
