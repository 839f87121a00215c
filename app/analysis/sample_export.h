#pragma once
// The analysis window's "copy data" and "copy smoothed data": one row per sample with its
// number, its time and the force of every channel.

#include <string>
#include <vector>

#include "app/session/session.h"

namespace tidemet {

using TextTable = std::vector<std::vector<std::string>>;

// Header row and rows k = 0..SampleCount. `smoothed` takes each force from the smoothed plotted
// trace of the live graphs instead of the raw count.
TextTable SampleForceTable(const Session& s, bool smoothed);

// A grid's clip text: cells separated by tabs, rows by carriage returns.
std::string ClipText(const TextTable& table);

}  // namespace tidemet
