#include "app/files/trial_file_format.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/files/cp1252_text.h"

namespace tidemet {
namespace {

constexpr std::array<std::string_view, 29> kTags = {
    "Tidemet V1SA", "Tidemet V1.1", "Tidemet V2.0", "Tidemet V2.1", "Tidemet V2.2", "Tidemet V2.3",
    "Tidemet V2.4", "Tidemet V2.5", "Tidemet V2.6", "Tidemet V3.0", "Tidemet V3.1", "Tidemet V3.2",
    "Tidemet V3.3", "Tidemet V3.4", "Tidemet V3.5", "Tidemet V3.6", "Tidemet V3.7", "Tidemet V3.8",
    "Tidemet V3.9", "Tidemet V4.0", "Tidemet V4.1", "Tidemet V4.2", "Tidemet V4.3", "Tidemet V5.0",
    "Tidemet V5.1", "Tidemet V5.2", "Tidemet V5.4", "Tidemet V5.5", "Tidemet V5.6",
};
constexpr int kV20 = 2, kV24 = 6, kV30 = 9, kV31 = 10, kV35 = 14, kV36 = 15;

// Little-endian reading that never passes the end.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : in_(bytes) {}
  size_t left() const { return in_.size() - pos_; }
  bool atEnd() const { return pos_ >= in_.size(); }
  bool int16(int16_t& v) {
    if (left() < 2) return false;
    auto lo = static_cast<uint8_t>(in_[pos_]);
    auto hi = static_cast<uint8_t>(in_[pos_ + 1]);
    v = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    pos_ += 2;
    return true;
  }
  bool float32(float& v) {
    if (left() < 4) return false;
    uint32_t bits = 0;
    for (int i = 3; i >= 0; --i) bits = (bits << 8) | static_cast<uint8_t>(in_[pos_ + static_cast<size_t>(i)]);
    std::memcpy(&v, &bits, sizeof v);
    pos_ += 4;
    return true;
  }
  bool text(size_t length, std::string& utf8) {
    if (left() < length) return false;
    utf8 = FromCp1252(in_.substr(pos_, length));
    pos_ += length;
    return true;
  }
  bool raw(size_t length, std::string_view& out) {
    if (left() < length) return false;
    out = in_.substr(pos_, length);
    pos_ += length;
    return true;
  }

 private:
  std::string_view in_;
  size_t pos_ = 0;
};

class ByteWriter {
 public:
  void int16(int16_t v) {
    auto u = static_cast<uint16_t>(v);
    out_ += static_cast<char>(u & 0xFF);
    out_ += static_cast<char>(u >> 8);
  }
  void float32(float v) {
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof v);
    for (int i = 0; i < 4; ++i) out_ += static_cast<char>((bits >> (8 * i)) & 0xFF);
  }
  void bytes(std::string_view b) { out_ += b; }
  std::string take() { return std::move(out_); }
  void reserve(size_t n) { out_.reserve(n); }

 private:
  std::string out_;
};

TrialFileParse damaged(std::string reason) {
  return {std::nullopt, TrialFileFault::Damaged, std::move(reason)};
}

// A text as the file holds it: Windows-1252, at most what its 16-bit length can say.
std::string fileText(std::string_view utf8) {
  std::string bytes = ToCp1252(utf8);
  if (bytes.size() > 32767) bytes.resize(32767);
  return bytes;
}

std::string threeCharacters(std::string_view utf8) {
  std::string bytes = ToCp1252(utf8);
  bytes.resize(3, ' ');
  return bytes;
}

}  // namespace

const std::array<std::string_view, 29>& VersionTags() { return kTags; }

int VersionTagIndex(std::string_view tag) {
  for (size_t i = 0; i < kTags.size(); ++i)
    if (kTags[i] == tag) return static_cast<int>(i);
  return -1;
}

TagKind KindOfTag(int index) {
  if (index < kV20) return TagKind::V1;
  if (index < kV24) return TagKind::V2Early;
  if (index < kV30) return TagKind::V2Late;
  if (index < kV35) return TagKind::V3Early;
  if (index < kV36) return TagKind::V35;
  return TagKind::Full;
}

void SavedChannels(int channelCount, int pairStartChannel, int16_t& first, int16_t& last) {
  if (channelCount == 2) {
    first = static_cast<int16_t>(pairStartChannel);
    last = static_cast<int16_t>(pairStartChannel + 1);
  } else if (channelCount == 4) {
    first = 0, last = 3;
  } else {
    first = 0, last = 7;
  }
}

TrialFileParse ParseTrialFile(std::string_view bytes) {
  ByteReader r(bytes);
  TrialFileContents c;
  std::string_view tag;
  if (!r.raw(kVersionTagLength, tag) || VersionTagIndex(tag) < 0)
    return {std::nullopt, TrialFileFault::UnknownTag, {}};
  c.versionTag = std::string(tag);
  c.tagIndex = VersionTagIndex(tag);
  c.kind = KindOfTag(c.tagIndex);

  int16_t nameLength = 0, commentLength = 0, labelLength = 0;
  if (!r.int16(nameLength) || !r.int16(commentLength) || !r.int16(labelLength))
    return damaged("ends inside its header.");
  if (nameLength < 0 || commentLength < 0 || labelLength < 0)
    return damaged("has a negative text length.");
  if (!r.text(static_cast<size_t>(nameLength), c.clientName) ||
      !r.text(static_cast<size_t>(labelLength), c.pairLabel))
    return damaged("has a text that runs past the end of the file.");

  if (!r.int16(c.pairStartChannel) || !r.float32(c.gain) || !r.int16(c.surfaceArea) ||
      !r.int16(c.limbMode) || !r.int16(c.sampleCount) || !r.float32(c.calibrationFactor) ||
      !r.float32(c.trialSeconds) || !r.int16(c.channelCount))
    return damaged("ends inside its header.");
  for (auto& offset : c.baselineOffsets)
    if (!r.int16(offset)) return damaged("ends inside its header.");

  const int channels = c.channelCount;
  if (channels != 2 && channels != 4 && channels != 8)
    return damaged("has a channel count other than 2, 4 or 8.");
  if (c.pairStartChannel < 0 || c.pairStartChannel > 6 || c.pairStartChannel % 2 != 0)
    return damaged("has a pair start channel other than 0, 2, 4 or 6.");
  if (c.limbMode < 1 || c.limbMode > 3) return damaged("has an unknown limb mode.");
  if (!std::isfinite(c.gain) || c.gain <= 0.0f || !std::isfinite(c.calibrationFactor) ||
      !std::isfinite(c.trialSeconds) || c.trialSeconds < 0.0f)
    return damaged("has a gain, calibration factor or trial time that is not a number.");
  if (c.sampleCount < 0) return damaged("has a negative sample count.");
  if (c.sampleCount > 0) {
    int16_t first = 0, last = 0;
    SavedChannels(channels, c.pairStartChannel, first, last);
    const long highest = static_cast<long>(c.sampleCount - 1) * channels + last;
    if (highest >= kTrialDataSize)
      return damaged("holds more samples than a trial can keep (" + std::to_string(kTrialDataSize) + ").");
  }

  const size_t values = static_cast<size_t>(c.sampleCount) * static_cast<size_t>(channels);
  if (r.left() < values * 2) return damaged("ends before its samples.");
  c.samples.resize(values);
  for (auto& v : c.samples) r.int16(v);
  if (!r.text(static_cast<size_t>(commentLength), c.comments))
    return damaged("has a text that runs past the end of the file.");

  if (c.kind == TagKind::V1) return {std::move(c), TrialFileFault::None, {}};

  TrialFileContents::Version2 v2;
  std::array<int16_t, 4> labelLengths{};
  bool whole = r.int16(v2.jointAction);
  for (auto& j : v2.pairJoints) whole = whole && r.int16(j);
  for (auto& a : v2.pairAreas) whole = whole && r.int16(a);
  for (auto& l : labelLengths) whole = whole && r.int16(l);
  if (!whole) return damaged("ends inside its pair set-up.");
  for (size_t i = 0; i < 4; ++i) {
    if (labelLengths[i] < 0) return damaged("has a negative text length.");
    if (!r.text(static_cast<size_t>(labelLengths[i]), v2.pairLabels[i]))
      return damaged("has a text that runs past the end of the file.");
  }
  if (!r.int16(v2.swimFlag)) return damaged("ends inside its pair set-up.");
  c.version2 = std::move(v2);

  // From here on the file may end early where older programs stopped writing.
  if (c.kind == TagKind::V2Early) return {std::move(c), TrialFileFault::None, {}};
  int16_t distance = 0;
  if (r.int16(distance)) c.swimDistance = distance;
  if (c.kind == TagKind::V2Late || c.kind == TagKind::V3Early || r.atEnd())
    return {std::move(c), TrialFileFault::None, {}};

  TrialFileContents::Recorded rec;
  if (!r.int16(rec.unitsFlag) || !r.int16(rec.modelCode) || !r.text(3, rec.height) || !r.text(3, rec.weight))
    return damaged("ends inside its units block.");
  if (rec.unitsFlag != 0 && rec.unitsFlag != 1) return damaged("has an unknown units flag.");
  if (rec.modelCode < 0 || rec.modelCode > 23) return damaged("has an unknown interface model.");
  c.recorded = std::move(rec);
  return {std::move(c), TrialFileFault::None, {}};
}

bool WritesRecordedBlock(std::string_view dataVersionTag) {
  int index = VersionTagIndex(dataVersionTag);
  return index < 0 || index >= kV31;  // data recorded now carries the current tag
}

std::string TrialFileBytes(const Session& s) {
  // The set-up of a trial in memory is always one the menus allow; anything else is written as
  // the nearest one so that the file stays readable.
  const int channels = (s.ChannelCount == 2 || s.ChannelCount == 4) ? s.ChannelCount : 8;
  const int pairStart = std::clamp(s.PairStartChannel / 2 * 2, 0, 6);
  int16_t first = 0, last = 0;
  SavedChannels(channels, pairStart, first, last);
  // Never more samples than the array holds.
  const int fit = (kTrialDataSize - 1 - last) / channels + 1;
  const int16_t count = static_cast<int16_t>(std::clamp<int>(s.SampleCount, 0, fit));

  const std::string name = fileText(s.DataClientName);
  const std::string comments = fileText(s.Comments);
  const std::string label = fileText(s.PairLabel);
  std::array<std::string, 4> labels;
  for (size_t i = 0; i < 4; ++i) labels[i] = fileText(s.PairLabels[i]);

  ByteWriter w;
  w.reserve(128 + name.size() + comments.size() + static_cast<size_t>(count) * channels * 2);
  w.bytes(kCurrentVersionTag);
  w.int16(static_cast<int16_t>(name.size()));
  w.int16(static_cast<int16_t>(comments.size()));
  w.int16(static_cast<int16_t>(label.size()));
  w.bytes(name);
  w.bytes(label);
  w.int16(static_cast<int16_t>(pairStart));
  w.float32(s.GraphGain);
  w.int16(s.SurfaceArea);
  w.int16(s.LimbMode);
  w.int16(count);
  w.float32(s.CalibrationFactor);
  w.float32(s.TrialSeconds);
  w.int16(static_cast<int16_t>(channels));
  for (int c = 0; c < 8; ++c) w.int16(s.BaselineOffsets[static_cast<size_t>(c)]);
  for (int j = 0; j < count; ++j)
    for (int k = first; k <= last; ++k) w.int16(s.TrialData[static_cast<size_t>(SampleIndexFor(j, k, channels))]);
  w.bytes(comments);
  w.int16(s.JointAction);
  for (int16_t joint : s.PairJoints) w.int16(joint);
  for (int16_t area : s.PairAreas) w.int16(area);
  for (const auto& l : labels) w.int16(static_cast<int16_t>(l.size()));
  for (const auto& l : labels) w.bytes(l);
  w.int16(s.SwimFlag);
  w.int16(s.SwimDistance);
  if (WritesRecordedBlock(s.DataVersionTag)) {
    w.int16(s.UnitsFlag);
    w.int16(s.RecordedModelCode);
    w.bytes(threeCharacters(s.ClientHeight));
    w.bytes(threeCharacters(s.ClientWeight));
  }
  return w.take();
}

}  // namespace tidemet
