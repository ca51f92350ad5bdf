// The link relay: when the StartMenu folder cannot be named in the ANSI code page, links whose path
// holds the marker "$TARVIUM$" are made at that marker path and handed to a link-copy program,
// "LinkRelay.exe" in the temporary directory, which carries them to (or removes them from) the
// folder the engine cannot name. Only its two command lines are fixed: the program's path and the
// link's path, each quoted, and " 1" added for a removal.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;
struct ShortcutState;

// The command line that hands a link to the relay, written for the program launcher, which
// replaces variables: a '%' of the paths is doubled.
std::string LinkRelayCommand(const std::string& relayPath, const std::string& linkPath,
                             bool bRemove);

// Hands the link to the relay when the run uses one and the path holds the marker; waits for it.
void RelayLink(SetupRun& run, ShortcutState& state, const std::string& linkPath, bool bRemove);

}  // namespace tarvium
