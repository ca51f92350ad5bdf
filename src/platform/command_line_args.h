// Splitting a Windows command line into arguments and joining arguments back into one, by the
// rules Windows programs use (CommandLineToArgvW). A started program receives its arguments as one
// line on Windows; on the host it gets an argv array, so the split has to be exact for the child
// to see what a Windows child would see. Pure functions over 8-bit text.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Splits a command line. The first element is the program name, which follows its own rule: when
// the line starts with a double quote the name is everything up to the next double quote (the
// next argument may follow directly), otherwise everything up to the first blank; backslashes
// and quotes inside it mean nothing. The other arguments are separated by blanks (space, tab);
// a double quote starts or ends a quoted part in which blanks are kept; 2n backslashes before a
// quote give n backslashes and the quote acts, 2n+1 give n backslashes and a literal quote; a run
// of quotes adds one literal quote for every three quotes counted together with an open quoted
// part, and leaves the part open when one quote remains. Backslashes not followed by a quote are
// kept as they are. There is always at least the program name (empty for an empty line or a
// line that starts with a blank).
std::vector<std::string> CommandLineToArgv(std::string_view commandLine);

// Quotes one argument (not the program name) so that CommandLineToArgv gives it back unchanged.
// Arguments without blanks and quotes, and not empty, are returned as they are.
std::string QuoteArgument(std::string_view argument);

// Joins a program name and arguments into a command line that CommandLineToArgv splits back
// into the same list. A program name holds no double quote on Windows; one given here is dropped.
std::string ArgvToCommandLine(const std::vector<std::string>& argv);

// Whether a program's argument asks for its usage: "--help", "-h" or "/?".
bool IsHelpArgument(std::string_view argument);

}  // namespace platform
