#include "app/files/client_entry.h"

#include "app/files/cp1252_text.h"
#include "app/session/rounding.h"
#include "app/session/units.h"

namespace tidemet {
namespace {

std::string padTo(std::string text, size_t width) {
  size_t length = Utf8Length(text);
  if (length < width) text.append(width - length, ' ');
  return text;
}

std::string cut(std::string_view text, size_t limit) { return Utf8Mid(text, 0, limit); }

std::string measureColumn(std::string_view value) {
  std::string text = cut(value, 7);
  if (Utf8Length(text) == 2) text += ' ';
  return padTo(text, 7);
}

// Columns first..last (1-based, inclusive) as characters.
std::string columns(std::string_view entry, size_t first, size_t last) {
  return Utf8Mid(entry, first - 1, last - first + 1);
}

}  // namespace

std::string TrimTrailingBlanks(std::string_view text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == ' ') --end;
  return std::string(text.substr(0, end));
}

std::string MakeClientEntry(std::string_view name, std::string_view id, std::string_view height,
                            std::string_view weight, std::string_view clinician) {
  return padTo(cut(name, kClientNameLimit), 22) + padTo(cut(id, kClientIdLimit), 15) +
         measureColumn(height) + measureColumn(weight) + cut(clinician, kClinicianLimit);
}

std::string EntryName(std::string_view entry) { return TrimTrailingBlanks(columns(entry, 1, 20)); }
std::string EntryCode(std::string_view entry) { return columns(entry, 23, 24); }
std::string EntryHeight(std::string_view entry) { return columns(entry, 38, 40); }
std::string EntryWeight(std::string_view entry) { return columns(entry, 45, 47); }
std::string EntryClinician(std::string_view entry) { return Utf8Mid(entry, 51); }

std::string ConvertEntryUnits(std::string_view entry, bool toMetric) {
  std::string height = ConvertMeasureText(EntryHeight(entry), toMetric ? kCentimetresPerInch : 1 / kCentimetresPerInch);
  std::string weight = ConvertMeasureText(EntryWeight(entry), toMetric ? 1 / kPoundsPerKilogram : kPoundsPerKilogram);
  return padTo(columns(entry, 1, 37), 37) + padTo(height, 3) + "    " + padTo(weight, 3) + "    " +
         columns(entry, 52, 71);
}

void TakeClientFromEntry(Session& s, std::string_view entry) {
  s.ClientName = EntryName(entry);
  s.DataClientName = s.ClientName;
  s.ClientCode = EntryCode(entry);
  s.ClientHeight = EntryHeight(entry);
  s.ClientWeight = EntryWeight(entry);
}

}  // namespace tidemet
