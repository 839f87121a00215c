#pragma once
// The per-model reading table: which reading goes to which TrialData column and how a reading
// becomes a stored value.

#include <array>
#include <cstdint>

#include "app/acquisition/reading_set.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// How many readings the model takes per tick (0 for the models without a device).
int ReadingsPerTick(const Session& s);

// What each TrialData column last received in the current recording or sweep. A read that
// failed repeats it, so a failing device never leaves another trial's samples in the rows it
// did not fill.
struct SlotMemory {
  std::array<int16_t, kMaxChannels> value{};
  uint16_t known = 0;  // bit c: column c received a value
  void forget() { known = 0; }
};

// Stores the present readings at row SampleIndex, never past that row's ChannelCount columns.
// A value that is not finite or does not fit 16 bits, and a slot beyond the end of TrialData,
// are not stored (the slot keeps its value). A failed reading stores what `memory` holds for
// its column, or the value of a zero reading when the column received nothing yet. QW8
// readings with a bad status show the connection warning and are not stored.
void StoreReadings(Session& s, const ReadingSet& readings, Alerts& alerts, SlotMemory& memory);

// True when a reading that was taken gives a stored value that no sample can hold (not
// finite, or outside -32768..32767): the interface transmitted nonsense.
bool ReadingsOutOfRange(const Session& s, const ReadingSet& readings);

// The same values stored into TrialData elements 0 to 7, reading r of channel r into element r
// (the diagnostics' reading loop).
void StoreChannelReadings(Session& s, const ReadingSet& readings, Alerts& alerts);

}  // namespace tidemet
