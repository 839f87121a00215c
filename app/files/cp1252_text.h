#pragma once
// The files hold single-byte Windows-1252 text; the program works in UTF-8. Every reader and
// writer of a file converts here, at the file boundary, and nowhere else.

#include <string>
#include <string_view>

namespace tidemet {

// UTF-8 to Windows-1252. A character the code page cannot hold, and a byte that is not valid
// UTF-8, becomes "?", so one character of text is always one byte of file.
std::string ToCp1252(std::string_view utf8);

// Windows-1252 to UTF-8. Every byte has a meaning: the five bytes the code page leaves unassigned
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the same number, as Windows
// does, so that any file text survives an open and a save unchanged.
std::string FromCp1252(std::string_view bytes);

// Number of characters (code points) in UTF-8 text; a stray byte counts as one character.
size_t Utf8Length(std::string_view utf8);

// The characters [first, first + count) of UTF-8 text, counted as Utf8Length counts them.
std::string Utf8Mid(std::string_view utf8, size_t first, size_t count = std::string_view::npos);

}  // namespace tidemet
