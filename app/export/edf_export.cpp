#include "app/export/edf_export.h"

#include <edflib.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "app/files/cp1252_text.h"
#include "app/files/safe_file.h"
#include "app/session/rounding.h"

namespace tidemet {
namespace {

constexpr int kMinRecordDuration = 100;      // 1 ms in 10 µs
constexpr int kMaxRecordDuration = 6000000;  // 60 s in 10 µs
constexpr int kMaxAnnotationSignals = 64;
constexpr size_t kMaxEdfBytes = 64u << 20;

// The header holds single-line text; EDFlib turns Latin-1 letters into their plain forms.
std::string headerText(const std::string& utf8) {
  std::string text = ToCp1252(utf8);
  std::erase(text, '\r');
  std::replace(text.begin(), text.end(), '\n', ' ');
  return text;
}

// An EDFlib file being written, and the scratch file it writes to; both are gone when this is.
class EdfScratch {
 public:
  EdfScratch() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tidemet-export-XXXXXX").string();
    const int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
      ::close(fd);
      path_ = pattern;
    }
  }
  ~EdfScratch() {
    if (handle_ >= 0) edfclose_file(handle_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  EdfScratch(const EdfScratch&) = delete;
  EdfScratch& operator=(const EdfScratch&) = delete;

  bool open(int signals) {
    if (path_.empty()) return false;
    handle_ = edfopen_file_writeonly(path_.c_str(), EDFLIB_FILETYPE_EDFPLUS, signals);
    return handle_ >= 0;
  }
  // Closes the file (EDFlib writes the annotations then) and reads it back.
  std::optional<std::string> finish(std::string& bytes) {
    const int h = handle_;
    handle_ = -1;
    if (edfclose_file(h) != 0) return "EDFlib could not finish the file.";
    std::string error;
    auto read = ReadWholeFile(path_, kMaxEdfBytes, &error);
    if (!read) return error;
    bytes = std::move(*read);
    return std::nullopt;
  }
  int handle() const { return handle_; }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int handle_ = -1;
};

}  // namespace

std::optional<EdfLayout> ChooseEdfLayout(int samples, double secondsPerSample, size_t marks) {
  if (samples <= 0 || !(secondsPerSample > 0) || !std::isfinite(secondsPerSample))
    return std::nullopt;
  const double rate = 1.0 / secondsPerSample;
  const int target =
      static_cast<int>(std::clamp(RoundEven(rate), 1.0, static_cast<double>(samples)));
  for (int spr = target; spr >= 1; --spr) {
    if (samples % spr != 0) continue;
    const double duration = RoundEven(spr * secondsPerSample * 1e5);
    if (duration < kMinRecordDuration) break;  // fewer samples a record only shorten it
    if (duration > kMaxRecordDuration) continue;
    const int records = samples / spr;
    const size_t signals =
        std::max<size_t>(1, (marks + static_cast<size_t>(records) - 1) / records);
    if (signals > kMaxAnnotationSignals) continue;
    return EdfLayout{spr, records, static_cast<int>(duration), static_cast<int>(signals)};
  }
  return std::nullopt;
}

std::optional<std::string> EdfTrialBytes(const Session& s, const TrialExport& t,
                                         std::string& bytes) {
  const auto layout = ChooseEdfLayout(t.samples, t.secondsPerSample, t.markers.size());
  if (!layout)
    return "A trial of " + std::to_string(t.samples) + " samples in " +
           std::to_string(t.samples * t.secondsPerSample) + " s does not fit EDF+ data records.";
  EdfScratch file;
  if (!file.open(static_cast<int>(t.channels.size())))
    return "EDFlib could not create its file in " +
           std::filesystem::temp_directory_path().string() + ".";
  const int h = file.handle();

  bool ok = edf_set_datarecord_duration(h, layout->recordDuration) == 0 &&
            edf_set_number_of_annotation_signals(h, layout->annotationSignals) == 0 &&
            edf_set_patientname(h, headerText(t.clientName).c_str()) == 0 &&
            edf_set_recording_additional(h, headerText(t.comments).c_str()) == 0 &&
            edf_set_equipment(h, "Tidemet") == 0;
  for (size_t i = 0; ok && i < t.channels.size(); ++i) {
    const ExportChannel& c = t.channels[i];
    const int signal = static_cast<int>(i);
    // Digital values are the stored counts, so the physical range is the force of the
    // extreme counts: force = (count + offset) × scale.
    ok = edf_set_samplefrequency(h, signal, layout->samplesPerRecord) == 0 &&
         edf_set_digital_minimum(h, signal, -32768) == 0 &&
         edf_set_digital_maximum(h, signal, 32767) == 0 &&
         edf_set_physical_minimum(h, signal, (-32768 + c.offset) * t.forceScale) == 0 &&
         edf_set_physical_maximum(h, signal, (32767 + c.offset) * t.forceScale) == 0 &&
         edf_set_label(h, signal, c.label.c_str()) == 0 &&
         edf_set_physical_dimension(h, signal, t.forceUnit.c_str()) == 0;
  }
  if (!ok) return "EDFlib refused the trial's header (its force range or texts).";

  std::vector<short> record(static_cast<size_t>(layout->samplesPerRecord));
  for (int r = 0; r < layout->records; ++r) {
    for (const ExportChannel& c : t.channels) {
      for (int i = 0; i < layout->samplesPerRecord; ++i)
        record[static_cast<size_t>(i)] = t.count(s, r * layout->samplesPerRecord + i, c);
      if (edfwrite_digital_short_samples(h, record.data()) != 0)
        return "EDFlib could not write the samples to " + file.path() + ".";
    }
  }
  // Marks on the file's own time base (in 100 µs), so that each sits on its sample.
  const double ticksPerSample = layout->recordDuration / 10.0 / layout->samplesPerRecord;
  for (const ExportMarker& m : t.markers) {
    const auto onset = static_cast<long long>(RoundEven(m.sample * ticksPerSample));
    const auto duration =
        m.length < 0 ? -1LL : static_cast<long long>(RoundEven(m.length * ticksPerSample));
    if (edfwrite_annotation_utf8(h, onset, duration, m.text.c_str()) != 0)
      return "EDFlib could not keep the annotation \"" + m.text + "\".";
  }
  return file.finish(bytes);
}

}  // namespace tidemet
