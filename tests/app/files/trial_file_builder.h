#pragma once
// Builds data files byte by byte, the way older programs wrote them, for the reader's tests.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tidemet::testing {

class TrialFileBuilder {
 public:
  TrialFileBuilder& raw(std::string_view b) { bytes += b; return *this; }
  TrialFileBuilder& i16(int v) {
    auto u = static_cast<uint16_t>(static_cast<int16_t>(v));
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
    return *this;
  }
  TrialFileBuilder& f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((bits >> (8 * i)) & 0xFF);
    return *this;
  }
  std::string bytes;
};

struct FileHeader {
  std::string tag = "Tidemet V5.6";
  std::string client = "Ann Lee";  // Windows-1252 bytes
  std::string label = "Hand";
  std::string comments = "ok";
  int pairStart = 0;
  float gain = 2.0f;
  int area = 120;
  int limb = 1;
  int samples = 3;
  float calibration = 0.625f;
  float seconds = 0.06f;
  int channels = 2;
  int offsets[8] = {1, -2, 100, -100, 5, 6, 7, 8};
};

// Header, samples (value 1000 + 10 * j + k) and comments.
inline TrialFileBuilder BuildV1Part(const FileHeader& h) {
  TrialFileBuilder b;
  b.raw(h.tag).i16(static_cast<int>(h.client.size())).i16(static_cast<int>(h.comments.size()))
      .i16(static_cast<int>(h.label.size())).raw(h.client).raw(h.label);
  b.i16(h.pairStart).f32(h.gain).i16(h.area).i16(h.limb).i16(h.samples).f32(h.calibration)
      .f32(h.seconds).i16(h.channels);
  for (int o : h.offsets) b.i16(o);
  for (int j = 0; j < h.samples; ++j)
    for (int k = 0; k < h.channels; ++k) b.i16(1000 + 10 * j + k);
  b.raw(h.comments);
  return b;
}

// The version 2 block up to the swim flag.
inline void AddVersion2(TrialFileBuilder& b, int swimFlag = 2) {
  b.i16(2);                                    // joint action
  for (int j : {1, 2, 3, 4}) b.i16(j);         // pair joints
  for (int a : {11, 22, 33, 44}) b.i16(a);     // pair areas
  for (int l : {4, 0, 9, 3}) b.i16(l);         // label lengths
  b.raw("Hand").raw("").raw("Lower Arm").raw("Eqp");
  b.i16(swimFlag);
}

}  // namespace tidemet::testing
