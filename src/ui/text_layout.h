// The pure text work of the text-mode pages, kept apart from newt so that it can be tested: the
// width of UTF-8 text in terminal columns, word wrapping, the access key of a button label, and
// the entries of a directory drop-down.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tarvium::ui {

// The columns a UTF-8 text takes (one per character; continuation bytes take none).
size_t DisplayWidth(std::string_view utf8Text);

// The UTF-8 text cut into lines of at most nWidth columns: line breaks are kept, lines break at
// blanks, and a word longer than a line is cut. Carriage returns are dropped.
std::vector<std::string> WrapText(std::string_view utf8Text, size_t nWidth);

// The character after the first single '&' of a label, lower case ('\0' when it has none; "&&"
// is a literal ampersand). "&Yes" -> 'y'.
char AccessKey(std::string_view label);

// The choices of a directory field whose default holds ";": its non-empty parts, trimmed, in
// order. A default without ";" gives no choices (a plain entry field).
std::vector<std::string> DropDownEntries(std::string_view defaultText);

// A text of the run made one line for a label of nWidth columns: cut with "..." when too long.
std::string FitLine(std::string_view utf8Text, size_t nWidth);

}  // namespace tarvium::ui
