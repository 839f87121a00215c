#pragma once
// What the client editor does with its five fields: the rules applied on every change and when
// the height or weight loses the focus, the presets of Add Client, the fields filled from an
// entry for Edit Client, and the entry Continue builds.

#include <string>
#include <string_view>

namespace tidemet {

enum class ClientField { Name, Id, Height, Weight, Clinician };

struct MeasureRange {
  int low = 0;
  int high = 0;
};
MeasureRange HeightRange(bool metric);  // 122..229 cm, 48..90 in
MeasureRange WeightRange(bool metric);  // 23..136 kg, 50..300 lbs

// The text a field shows after the user changed it to `text`: name, ID and clinician are cut to
// their limits and stripped of leading blanks; height and weight are trimmed and cut to 3.
std::string FieldAfterChange(ClientField field, std::string_view text);

// Height or weight when the field loses the focus: a value below or above the range becomes the
// limit, as a whole number; a text then beginning with "0" keeps only its last two characters.
std::string MeasureAfterFocusLoss(std::string_view text, MeasureRange range);

struct ClientEditorText {
  std::string name, id, height, weight, clinician;
  bool operator==(const ClientEditorText&) const = default;
};

// Add Client: empty texts, height and weight at their lower limits.
ClientEditorText AddClientPresets(bool metric);

// Edit Client: the fields from the entry's columns, as the change rules leave them.
ClientEditorText EditorTextFromEntry(std::string_view entry);

// Continue: height and weight corrected as on focus loss (Continue can be reached with the Enter
// key, without leaving the field), then the entry in its fixed columns.
std::string EntryFromEditor(const ClientEditorText& text, bool metric);

}  // namespace tidemet
