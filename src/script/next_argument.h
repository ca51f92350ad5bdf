// The argument splitter that every expression function and script command uses: one argument at
// a time from a comma-separated text, with single or double quotes around arguments that hold
// commas or blanks (a doubled quote inside stands for one quote character).
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

// Copies the argument at nPos into out and returns the position after it (after its comma).
// Returns std::string_view::npos, with out empty, when no argument is left: at the end of the
// text or at a carriage return or line feed.
size_t NextArgument(std::string_view text, size_t nPos, std::string& out);

}  // namespace tarvium
