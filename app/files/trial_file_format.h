#pragma once
// The byte layout of the trial data file (.dat): a pure reader that checks every length and range
// before it trusts it, and a pure writer. Neither touches the disk or the session's windows.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/session/session.h"

namespace tidemet {

inline constexpr std::string_view kCurrentVersionTag = "Tidemet V5.6";
inline constexpr size_t kVersionTagLength = 12;

// The largest valid data file: the fixed fields (96 bytes), a full sample array and seven texts
// of the longest length a 16-bit length can give - 289467 bytes. Nothing larger is read.
inline constexpr size_t kLargestTrialFileBytes = 96 + 2 * kTrialDataSize + 7 * 32767;

// What a version tag says the file holds.
enum class TagKind {
  V1,         // V1SA, V1.1: header, samples and comments only
  V2Early,    // V2.0-V2.3: + version 2 block up to the swim flag
  V2Late,     // V2.4-V2.6: + swim distance
  V3Early,    // V3.0-V3.4: as V2.4
  V35,        // V3.5: + units, model, height and weight when the file goes on
  Full,       // V3.6-V5.6
};

// The 29 tags in order; the index orders them by age.
const std::array<std::string_view, 29>& VersionTags();
// The index of a tag in VersionTags(), or -1.
int VersionTagIndex(std::string_view tag);
TagKind KindOfTag(int index);

struct TrialFileContents {
  std::string versionTag;
  int tagIndex = 0;
  TagKind kind = TagKind::Full;
  std::string clientName;  // UTF-8, as all texts here
  std::string pairLabel;
  std::string comments;
  int16_t pairStartChannel = 0;
  float gain = 1.0f;
  int16_t surfaceArea = 0;
  int16_t limbMode = 1;
  int16_t sampleCount = 0;
  float calibrationFactor = 1.0f;
  float trialSeconds = 0.0f;
  int16_t channelCount = 8;
  std::array<int16_t, 8> baselineOffsets{};  // as stored, not yet limited
  std::vector<int16_t> samples;               // channelCount values per sample, in file order

  struct Version2 {
    int16_t jointAction = 0;
    std::array<int16_t, 4> pairJoints{};
    std::array<int16_t, 4> pairAreas{};
    std::array<std::string, 4> pairLabels{};
    int16_t swimFlag = 0;
  };
  std::optional<Version2> version2;
  std::optional<int16_t> swimDistance;  // V2.4 on, when the file goes on

  struct Recorded {
    int16_t unitsFlag = 1;
    int16_t modelCode = 0;
    std::string height;  // three characters
    std::string weight;
  };
  std::optional<Recorded> recorded;  // V3.5 on, when the file goes on
};

// Why a file was refused.
enum class TrialFileFault { None, UnknownTag, Damaged };

struct TrialFileParse {
  std::optional<TrialFileContents> contents;
  TrialFileFault fault = TrialFileFault::None;
  std::string reason;  // for Damaged: the second line of the message
};

TrialFileParse ParseTrialFile(std::string_view bytes);

// The TrialData index of channel `k` of sample `j` in a trial of `channelCount` channels. A
// two-channel trial keeps its samples at the indices of its own pair.
inline int SampleIndexFor(int j, int k, int channelCount) { return j * channelCount + k; }
// The channel columns a trial of `channelCount` channels keeps: the pair for 2, 0-3 for 4,
// 0-7 otherwise.
void SavedChannels(int channelCount, int pairStartChannel, int16_t& first, int16_t& last);

// The data file for the trial in `s`, always with the current tag. The units, model, height and
// weight close the file only when DataVersionTag is V3.1 or later (a trial from an older file
// has none); RecordedUnitsFlag is written as the current UnitsFlag.
std::string TrialFileBytes(const Session& s);

// Whether TrialFileBytes writes the closing units block for this tag.
bool WritesRecordedBlock(std::string_view dataVersionTag);

}  // namespace tidemet
