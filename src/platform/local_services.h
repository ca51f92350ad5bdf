// What a tool without a machine of its own uses of the computer it runs on: its clock, its
// standard handles and its named pipes. On Linux the pipes are those of the emulated machine
// (TARVIUM_MACHINE, else the user's default machine), where Setup.exe runs; on Windows they are the
// system's.
#pragma once
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/named_pipe.h"

namespace platform {

std::unique_ptr<Clock> OpenLocalClock();
// Standard output and error (ANSI text, shown as the host shows text) and standard input.
std::unique_ptr<Console> OpenLocalConsole();
// A command-line argument as ANSI text: Linux passes UTF-8, Windows the process code page.
std::string ArgumentAsAnsi(const char* argument);
// The named pipes, and how an error message names where they are ("the emulated machine in
// DIR", "this computer").
std::unique_ptr<NamedPipes> OpenLocalPipes(std::string& where);

}  // namespace platform
