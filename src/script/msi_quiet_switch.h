// In a run driven by the setup service nobody sits at the screen, so a Windows Installer call must
// not show its own user interface: the quiet switch of msiexec is forced to "no interface". Pure
// function over the parameters of the start.
#pragma once
#include <string>
#include <string_view>

namespace tarvium {

// When the command line contains "msiexec" (any case), every switch of the parameters that
// starts with "/q" or "-q" (any case) and goes on with more characters gets "n" for the first of
// them and blanks for the others, up to the next blank: "/qb" becomes "/qn", "/qb! X" becomes
// "/qn  X" (the text keeps its length). A bare "/q" stays. Only switches count, that is text at
// the start of the parameters or after a blank, so that a path holding "-q" is left alone.
void ForceQuietMsiParameters(std::string_view commandLine, std::string& parameters);

}  // namespace tarvium
