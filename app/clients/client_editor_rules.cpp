#include "app/clients/client_editor_rules.h"

#include <algorithm>

#include "app/files/client_entry.h"
#include "app/files/cp1252_text.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

constexpr size_t kMeasureLimit = 3;

std::string stripLeading(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string trim(std::string_view text) {
  std::string out = stripLeading(text);
  return TrimTrailingBlanks(out);
}

size_t limitOf(ClientField field) {
  switch (field) {
    case ClientField::Name:
      return kClientNameLimit;
    case ClientField::Id:
      return kClientIdLimit;
    case ClientField::Clinician:
      return kClinicianLimit;
    case ClientField::Height:
    case ClientField::Weight:
      break;
  }
  return kMeasureLimit;
}

}  // namespace

MeasureRange HeightRange(bool metric) {
  return metric ? MeasureRange{122, 229} : MeasureRange{48, 90};
}
MeasureRange WeightRange(bool metric) {
  return metric ? MeasureRange{23, 136} : MeasureRange{50, 300};
}

std::string FieldAfterChange(ClientField field, std::string_view text) {
  if (field == ClientField::Height || field == ClientField::Weight)
    return Utf8Mid(trim(text), 0, kMeasureLimit);
  return stripLeading(Utf8Mid(text, 0, limitOf(field)));
}

std::string MeasureAfterFocusLoss(std::string_view text, MeasureRange range) {
  std::string out(text);
  const double value = Val(text);
  if (value < range.low) out = std::to_string(range.low);
  if (value > range.high) out = std::to_string(range.high);
  if (!out.empty() && out[0] == '0' && out.size() > 2) out = out.substr(out.size() - 2);
  return out;
}

ClientEditorText AddClientPresets(bool metric) {
  return ClientEditorText{"", "", std::to_string(HeightRange(metric).low),
                          std::to_string(WeightRange(metric).low), ""};
}

ClientEditorText EditorTextFromEntry(std::string_view entry) {
  // The padding is dropped too: typing at the end of a name must not land behind blanks, and
  // Continue pads the columns again.
  auto ruled = [](ClientField field, const std::string& columns) {
    return TrimTrailingBlanks(FieldAfterChange(field, columns));
  };
  return ClientEditorText{ruled(ClientField::Name, EntryName(entry)),
                          ruled(ClientField::Id, Utf8Mid(entry, 22, kClientIdLimit)),
                          ruled(ClientField::Height, EntryHeight(entry)),
                          ruled(ClientField::Weight, EntryWeight(entry)),
                          ruled(ClientField::Clinician, EntryClinician(entry))};
}

std::string EntryFromEditor(const ClientEditorText& text, bool metric) {
  return MakeClientEntry(text.name, text.id,
                         MeasureAfterFocusLoss(text.height, HeightRange(metric)),
                         MeasureAfterFocusLoss(text.weight, WeightRange(metric)), text.clinician);
}

}  // namespace tidemet
