#pragma once
// The fixed-column client entry, one line per client (columns counted from 1, in characters):
// name 1-22, ID 23-37, height 38-44, weight 45-51, clinician from 52 on.

#include <string>
#include <string_view>

#include "app/session/session.h"

namespace tidemet {

inline constexpr size_t kClientNameLimit = 20;
inline constexpr size_t kClientIdLimit = 12;
inline constexpr size_t kClinicianLimit = 16;

// Builds an entry as the client editor's Continue does: name padded to 22, ID to 15, height and
// weight (a 2-character value gets one blank appended first) to 7 each, then the clinician.
// Fields longer than their limits are cut.
std::string MakeClientEntry(std::string_view name, std::string_view id, std::string_view height,
                            std::string_view weight, std::string_view clinician);

std::string EntryName(std::string_view entry);       // columns 1-20, trailing blanks removed
std::string EntryCode(std::string_view entry);       // columns 23-24
std::string EntryHeight(std::string_view entry);     // columns 38-40
std::string EntryWeight(std::string_view entry);     // columns 45-47
std::string EntryClinician(std::string_view entry);  // column 52 to the end

// The entry with height and weight converted to metric (true) or US units, each fitted into
// three characters as ConvertMeasureText does.
std::string ConvertEntryUnits(std::string_view entry, bool toMetric);

// The entry becomes the current client: name, client of the data, code, height and weight.
void TakeClientFromEntry(Session& s, std::string_view entry);

std::string TrimTrailingBlanks(std::string_view text);

}  // namespace tidemet
