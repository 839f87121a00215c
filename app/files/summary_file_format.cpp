#include "app/files/summary_file_format.h"

#include <algorithm>

#include "app/analysis/recompute_analysis.h"
#include "app/files/record_codec.h"

namespace tidemet {
namespace {

constexpr std::string_view kWrittenTag = "Tidemet V5.6";

// Reads the fields of one record in order; the first failure sticks.
class FieldReader {
 public:
  explicit FieldReader(RecordReader& in) : in_(in) {}
  FieldReader& text(std::string& v) { return step(in_.text(v)); }
  FieldReader& number(float& v) { return step(in_.number(v)); }
  FieldReader& integer(int16_t& v) { return step(in_.integer(v)); }
  bool ok() const { return ok_; }

 private:
  FieldReader& step(ReadStatus status) {
    if (ok_ && status != ReadStatus::Ok) ok_ = false;
    return *this;
  }
  // Fields after a failure are not read.
  RecordReader& in_;
  bool ok_ = true;
};

bool within(int v, int low, int high) { return v >= low && v <= high; }

std::optional<std::string> headerProblem(const SummaryHeader& h) {
  const bool knownCount = h.channelCount == 2 || h.channelCount == 4 || h.channelCount == 8;
  if (!knownCount || !within(h.pairStartChannel, 0, kMaxChannels - 2) || h.pairStartChannel % 2 != 0 ||
      !within(h.sampleCount, 0, kTrialDataSize - 1) || !within(h.limbMode, 1, 3) ||
      !within(h.dataUnitsFlag, 0, 1))
    return "holds a summary header out of range";
  return std::nullopt;
}

enum class BlockRead { None, Partial, Complete };

// One block: None when its pair record is missing or out of range, Partial when the file ends
// (or is damaged) inside its rows.
BlockRead readBlock(RecordReader& in, SummaryBlock& block) {
  FieldReader f(in);
  f.integer(block.pairStartChannel).integer(block.firstPairReps).integer(block.secondPairReps);
  if (!f.ok()) return BlockRead::None;
  const int last = std::max(block.firstPairReps, block.secondPairReps);
  if (!within(block.pairStartChannel, 0, kMaxChannels - 2) || block.pairStartChannel % 2 != 0 ||
      !within(block.firstPairReps, -1, kSummaryRows - 1) ||
      !within(block.secondPairReps, -1, kSummaryRows - 1))
    return BlockRead::None;
  block.rows.reserve(static_cast<size_t>(last + 1));
  for (int j = 0; j <= last; ++j) {
    StoredSummaryRow row{};
    for (float& v : row)
      if (in.number(v) != ReadStatus::Ok) return BlockRead::Partial;  // rows read so far stay
    block.rows.push_back(row);
  }
  block.complete = true;
  return BlockRead::Complete;
}

}  // namespace

bool SummaryHasPairSetup(std::string_view versionTag) {
  return versionTag != "Tidemet V1SA" && versionTag != "Tidemet V1.1";
}

SummaryParse ParseSummaryFile(std::string_view bytes) {
  SummaryParse out;
  RecordReader in(bytes);
  SummaryContents c;
  SummaryHeader& h = c.header;
  // Record 1 is read as far as a known tag needs: the version check comes after the client
  // check, so a file with an unknown tag still yields its tag and client.
  FieldReader f(in);
  f.text(h.versionTag).text(h.clientName).text(h.pairLabel).integer(h.pairStartChannel)
      .integer(h.surfaceArea).integer(h.limbMode).integer(h.sampleCount).number(h.calibrationFactor)
      .number(h.trialSeconds).integer(h.mostReps).integer(h.dataUnitsFlag).integer(h.channelCount);
  if (!f.ok()) {
    out.reason = "is not a complete summary file";
    if (!h.versionTag.empty()) out.contents = std::move(c);  // the tag decides the message
    return out;
  }
  if (auto problem = headerProblem(h)) {
    out.reason = *problem;
    out.contents = std::move(c);
    return out;
  }
  if (SummaryHasPairSetup(h.versionTag)) {
    SummaryPairSetup p;
    FieldReader g(in);
    for (auto& a : p.pairAreas) g.integer(a);
    for (auto& l : p.pairLabels) g.text(l);
    for (auto& j : p.pairJoints) g.integer(j);
    g.integer(p.jointAction).integer(p.swimFlag);
    if (!g.ok()) {
      out.reason = "is not a complete summary file";
      out.contents = std::move(c);
      return out;
    }
    c.setup = std::move(p);
  }
  const int maxBlocks = h.channelCount / 2;
  for (int b = 0; b < maxBlocks && !in.atEnd(); ++b) {
    SummaryBlock block;
    const BlockRead read = readBlock(in, block);
    if (read == BlockRead::None) break;
    c.blocks.push_back(std::move(block));
    if (read == BlockRead::Partial) break;
  }
  out.contents = std::move(c);
  return out;
}

std::vector<int> SummaryPairs(const Session& s) {
  if (s.ModelCode == 23) return {0, 2};
  if (s.ChannelCount == 2) return {s.PairStartChannel};
  std::vector<int> pairs;
  // Only pairs the trial has: a four-channel trial has no columns 4 to 7.
  for (int p = 0; p + 1 < std::min<int>(s.ChannelCount, kMaxChannels); p += 2) pairs.push_back(p);
  return pairs;
}

namespace {

// Records 1 and 2, always with the current tag.
void writeHeader(RecordWriter& w, const SummaryHeader& h, const SummaryPairSetup& p) {
  w.text(kWrittenTag).text(h.clientName).text(h.pairLabel).integer(h.pairStartChannel)
      .integer(h.surfaceArea).integer(h.limbMode).integer(h.sampleCount).number(h.calibrationFactor)
      .number(h.trialSeconds).integer(h.mostReps).integer(h.dataUnitsFlag).integer(h.channelCount)
      .endRecord();
  for (auto a : p.pairAreas) w.integer(a);
  for (const auto& l : p.pairLabels) w.text(l);
  for (auto j : p.pairJoints) w.integer(j);
  w.integer(p.jointAction).integer(p.swimFlag).endRecord();
}

void writeBlock(RecordWriter& w, int pairStart, int16_t firstReps, int16_t secondReps,
                const std::vector<StoredSummaryRow>& rows) {
  w.integer(pairStart).integer(firstReps).integer(secondReps).endRecord();
  for (const StoredSummaryRow& row : rows) {
    for (float v : row) w.number(v);
    w.endRecord();
  }
}

SummaryPairSetup setupOf(const Session& s) {
  return {s.PairAreas, s.PairLabels, s.PairJoints, s.JointAction, s.SwimFlag};
}

}  // namespace

std::string StoredSummaryBytes(const SummaryContents& c, const Session& s) {
  RecordWriter w;
  // An old summary without record 2 gets the set-up its opening left current.
  writeHeader(w, c.header, c.setup ? *c.setup : setupOf(s));
  for (const SummaryBlock& b : c.blocks) writeBlock(w, b.pairStartChannel, b.firstPairReps, b.secondPairReps, b.rows);
  return w.take();
}

std::string SummaryFileBytes(Session& s, RepetitionAnalyzer& analyzer, Alerts& alerts) {
  RecordWriter w;
  const SummaryHeader header{std::string(kWrittenTag), s.DataClientName, s.PairLabel,
                             s.PairStartChannel,       s.SurfaceArea,    s.LimbMode,
                             s.SampleCount,            s.CalibrationFactor, s.TrialSeconds,
                             s.analysis.MostReps,      s.DataUnitsFlag,  s.ChannelCount};
  writeHeader(w, header, setupOf(s));

  // The analysis of each stored pair reuses the session's results; the current pair's are put
  // back afterwards, with its surface area.
  const AnalysisResults kept = s.analysis;
  const int16_t keptStart = s.PairStartChannel;
  const int16_t keptSecond = s.PairSecondChannel;
  const int16_t keptArea = s.SurfaceArea;
  AnalysisResults& r = s.analysis;
  for (int p : SummaryPairs(s)) {
    r.clearSummaryTable();
    r.MostReps = 0;
    r.FirstPairReps = r.SecondPairReps = 0;
    s.PairStartChannel = static_cast<int16_t>(p);
    s.PairSecondChannel = static_cast<int16_t>(p + 1);
    bool anyConnected = false;
    for (int d = p; d <= p + 1; ++d) {
      int16_t& reps = d == p ? r.FirstPairReps : r.SecondPairReps;
      if (!ColumnConnected(s, d)) {
        reps = 0;
        continue;
      }
      anyConnected = true;
      s.SurfaceArea = s.PairAreas[static_cast<size_t>(p / 2)];
      analyzer.DetectRepetitions(s, d, alerts);
      analyzer.ConvertRepetitions(s);
      reps = r.LastRep;
      r.MostReps = std::max(r.MostReps, r.LastRep);
      analyzer.StoreRepetitionRows(s, d);
    }
    if (!anyConnected) continue;
    std::vector<StoredSummaryRow> rows(static_cast<size_t>(r.MostReps) + 1);
    for (size_t j = 0; j < rows.size(); ++j)
      std::copy_n(r.SummaryTable[j].begin() + 1, kStoredSummaryColumns, rows[j].begin());
    writeBlock(w, p, r.FirstPairReps, r.SecondPairReps, rows);
  }
  s.analysis = kept;
  s.PairStartChannel = keptStart;
  s.PairSecondChannel = keptSecond;
  s.SurfaceArea = keptArea;
  return w.take();
}

}  // namespace tidemet
