#pragma once
// The per-model reading table: which reading goes to which TrialData column and how a reading
// becomes a stored value.

#include "app/acquisition/reading_set.h"
#include "app/session/alerts.h"
#include "app/session/session.h"

namespace tidemet {

// How many readings the model takes per tick (0 for the models without a device).
int ReadingsPerTick(const Session& s);

// Stores the present readings at row SampleIndex. A value that is not finite or does not fit
// 16 bits, and a slot beyond the end of TrialData, are not stored (the slot keeps its value).
// QW8 readings with a bad status show the connection warning and are not stored.
void StoreReadings(Session& s, const ReadingSet& readings, Alerts& alerts);

// The same values stored into TrialData elements 0 to 7, reading r of channel r into element r
// (the diagnostics' reading loop).
void StoreChannelReadings(Session& s, const ReadingSet& readings, Alerts& alerts);

}  // namespace tidemet
