// The command line of a program start, split the way the launcher reads it: the first word is
// the program (double quotes group blanks and are not part of the name), the rest are its
// parameters; and joined back for a start that has the program and the parameters apart. Pure
// functions over 8-bit text.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

// The program without its quotes and the parameters without the blanks that separate them from
// it. A line of blanks gives an empty program.
void SplitProgram(std::string_view commandLine, std::string& program, std::string& parameters);

// The program in double quotes, a blank and the parameters (no blank when there are none).
std::string JoinProgram(std::string_view program, std::string_view parameters);

// Parts joined with one blank between those that are not empty.
std::string JoinParameters(std::string_view first, std::string_view second);

}  // namespace tarvium
