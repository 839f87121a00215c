#pragma once
// The lists are kept in single-byte Windows-1252 text inside double quotes. A character the code
// page lacks, a double quote or a control character cannot come back from the file as typed, so
// the places where such text is typed refuse it instead of letting the file change it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/session/alerts.h"

namespace tidemet {

// The first character of UTF-8 `text` that the lists cannot store unchanged, or nothing.
std::optional<std::string> FirstUnstorableCharacter(std::string_view text);

// The box that refuses `character` in the field called `field`.
Alert UnstorableTextAlert(std::string_view field, std::string_view character);

struct LabelledText {
  std::string field;  // what the box calls the field ("Name", "Institution line 2")
  std::string text;
};

// Shows the box for the first field that holds an unstorable character and returns false;
// true when every field can be stored.
bool CheckStorable(const std::vector<LabelledText>& fields, Alerts& alerts);

// The six institution lines of the settings window.
bool InstitutionLinesStorable(const std::vector<std::string>& lines, Alerts& alerts);

}  // namespace tidemet
