#include "app/acquisition/stored_value.h"

#include <string>

#include "app/acquisition/serial_unit.h"
#include "app/session/rounding.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

enum class Layout { None, Pair, FixedSlots };

struct Row {
  Layout layout;
  int readings;
};

bool usesUsbPoints(int m) { return m == 7 || (m >= 10 && m <= 15); }

Row rowFor(const Session& s) {
  const int m = s.ModelCode;
  // The demonstration unit stands where model 0 has no device: the pair of a two-channel trial,
  // else every channel.
  if (m == 0 && s.DemoMode == 1)
    return s.ChannelCount == 2 ? Row{Layout::Pair, 2} : Row{Layout::FixedSlots, s.ChannelCount};
  if (m == 3 || m == 8) return {Layout::Pair, 2};
  if (m == 13) return s.ChannelCount == 4 ? Row{Layout::FixedSlots, 4} : Row{Layout::Pair, 2};
  if (usesUsbPoints(m) || m == 18 || m == 19) return {Layout::Pair, 2};
  if (m == 20) return {Layout::FixedSlots, s.ChannelCount == 8 ? 8 : 2};
  if (m == 21) return {Layout::FixedSlots, s.ChannelCount == 4 ? 4 : 2};
  if (m == 22) return {Layout::FixedSlots, 2};
  if (m == 23) return {Layout::FixedSlots, 4};
  return {Layout::None, 0};
}

// The stored value of reading r (before the range check).
double storedValue(const Session& s, int r, double reading) {
  const int m = s.ModelCode;
  const double base = 1000.0 + s.ModelOffset;
  if (m == 3) return reading - 1050.0 + s.ModelOffset;
  if (m == 0 || m == 8 || m == 13 || usesUsbPoints(m)) return reading + base;
  const double mv = 1000.0 * reading;  // module and LabJack readings are volts
  if (m == 20 && r >= 2) return mv;    // plain millivolts on the extra channels
  if ((m == 21 || m == 22) && r < 2) return mv + base + s.SensorValueOffset;
  if (m == 23 && r >= 2) return mv + base + s.SensorValueOffset;
  return mv + base;
}

void warnUnitStatus(Alerts& alerts, int16_t status) {
  std::string text = JoinLines({"Check that the power cable and", "the data cable are connected.",
                                "Error Code: CB"});
  text += NumText(static_cast<long long>(status));
  alerts.show({std::string(AppTitle) + " Warning", text, AlertIcon::Exclamation, AlertButtons::Ok});
}

}  // namespace

int ReadingsPerTick(const Session& s) { return rowFor(s).readings; }

bool ReadingsOutOfRange(const Session& s, const ReadingSet& readings) {
  const Row row = rowFor(s);
  for (int r = 0; r < row.readings; ++r)
    if (readings.has(r) && !RoundToInt16(storedValue(s, r, readings.value[r]))) return true;
  return false;
}

namespace {

// Where reading r goes: its TrialData column at row SampleIndex, or element r (the diagnostics).
void store(Session& s, const ReadingSet& readings, Alerts& alerts, SlotMemory* memory) {
  const Row row = rowFor(s);
  if (row.layout == Layout::None) return;
  if (s.ModelCode == 3) s.ModelOffset = 100;
  if (s.ModelCode == 8) {
    if (readings.has(0)) s.FrameValueA = readings.value[0];
    if (readings.has(1)) s.FrameValueB = readings.value[1];
  }
  for (int r = 0; r < row.readings; ++r) {
    const int column =
        row.layout == Layout::Pair ? (r == 0 ? s.PairStartChannel : s.PairSecondChannel) : r;
    // A device that reads more fixed channels than the trial has must not write into the next
    // row. (A pair beyond a two-channel row is the trial's own layout: its columns keep the
    // row stride.)
    if (memory && row.layout == Layout::FixedSlots && column >= s.ChannelCount) continue;
    const int index = memory ? s.trialIndex(s.SampleIndex, column) : r;
    if (index < 0) continue;
    double reading;
    if (s.ModelCode == 8) {
      reading = r == 0 ? s.FrameValueA : s.FrameValueB;  // a tick without a frame repeats
    } else if (readings.has(r)) {
      reading = readings.value[r];
    } else {
      if (memory && readings.hasFailed(r)) {
        const auto zero = RoundToInt16(storedValue(s, r, 0.0));
        if ((memory->known >> column) & 1u)
          s.TrialData[index] = memory->value[column];
        else if (zero)
          s.TrialData[index] = *zero;
      }
      continue;
    }
    if (s.ModelCode == 3) {
      s.UnitStatus = NormalizedUnitStatus(readings.unitStatus[r]);
      if (!UnitStatusAllowsStore(s.UnitStatus)) {
        warnUnitStatus(alerts, s.UnitStatus);
        continue;
      }
    }
    if (auto v = RoundToInt16(storedValue(s, r, reading))) {
      s.TrialData[index] = *v;
      if (memory) {
        memory->value[column] = *v;
        memory->known = static_cast<uint16_t>(memory->known | (1u << column));
      }
    }
  }
}

}  // namespace

void StoreReadings(Session& s, const ReadingSet& readings, Alerts& alerts, SlotMemory& memory) {
  store(s, readings, alerts, &memory);
}

void StoreChannelReadings(Session& s, const ReadingSet& readings, Alerts& alerts) {
  store(s, readings, alerts, nullptr);
}

}  // namespace tidemet
