#pragma once
// A trial as EDF+ through EDFlib: one signal per recorded channel whose digital values are the
// stored counts and whose physical range follows from the force calibration, so every sample
// reads back as its force to the count; the repetitions as annotations.

#include <optional>
#include <string>

#include "app/export/trial_export.h"

namespace tidemet {

// How the samples are cut into EDF data records. EDF+ knows only whole records and a whole
// number of samples per record, so a record holds a divisor of the trial's samples (none is
// invented to fill the last record), as near a second as that allows; its duration, in units
// of 10 microseconds, carries the measured sample rate.
struct EdfLayout {
  int samplesPerRecord = 0;
  int records = 0;
  int recordDuration = 0;     // in 10 µs
  int annotationSignals = 0;  // enough that every mark has room: records × signals >= marks
};

// Nothing when no layout fits the limits of the format (a record of 1 ms to 60 s, at most 64
// annotation signals).
std::optional<EdfLayout> ChooseEdfLayout(int samples, double secondsPerSample, size_t marks);

// The EDF+ file of the trial in `bytes`; returns why it failed.
std::optional<std::string> EdfTrialBytes(const Session& s, const TrialExport& t,
                                         std::string& bytes);

}  // namespace tidemet
