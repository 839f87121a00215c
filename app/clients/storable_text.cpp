#include "app/clients/storable_text.h"

#include "app/files/cp1252_text.h"
#include "app/session/text.h"

namespace tidemet {
namespace {

bool isControl(std::string_view ch) {
  if (ch.size() == 1) {
    unsigned char b = static_cast<unsigned char>(ch[0]);
    return b < 0x20 || b == 0x7F;
  }
  // U+0080..U+009F are C2 80..C2 9F in UTF-8.
  return ch.size() == 2 && static_cast<unsigned char>(ch[0]) == 0xC2 &&
         static_cast<unsigned char>(ch[1]) < 0xA0;
}

}  // namespace

std::optional<std::string> FirstUnstorableCharacter(std::string_view text) {
  const size_t length = Utf8Length(text);
  for (size_t i = 0; i < length; ++i) {
    const std::string ch = Utf8Mid(text, i, 1);
    if (ch == "\"" || isControl(ch)) return ch;
    // The code page turns what it lacks (and broken UTF-8) into "?".
    if (ch != "?" && FromCp1252(ToCp1252(ch)) != ch) return ch;
  }
  return std::nullopt;
}

Alert UnstorableTextAlert(std::string_view field, std::string_view character) {
  std::string shown = isControl(character) ? std::string("a control character")
                                           : "the character \"" + std::string(character) + "\"";
  return Alert{std::string(AppTitle),
               JoinLines({std::string(field) + " cannot contain " + shown + ".",
                          "Use letters, digits and signs of Western European languages; double "
                          "quotes cannot be stored either."}),
               AlertIcon::Exclamation, AlertButtons::Ok};
}

bool CheckStorable(const std::vector<LabelledText>& fields, Alerts& alerts) {
  for (const LabelledText& f : fields) {
    if (auto ch = FirstUnstorableCharacter(f.text)) {
      alerts.show(UnstorableTextAlert(f.field, *ch));
      return false;
    }
  }
  return true;
}

bool InstitutionLinesStorable(const std::vector<std::string>& lines, Alerts& alerts) {
  std::vector<LabelledText> fields;
  for (size_t i = 0; i < lines.size(); ++i)
    fields.push_back({"Institution line " + std::to_string(i + 1), lines[i]});
  return CheckStorable(fields, alerts);
}

}  // namespace tidemet
