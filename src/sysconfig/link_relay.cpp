// Whether the relay is used is decided once per run, from the StartMenu folder's path: a '?' in it
// is a character the ANSI code page could not hold. The program itself is the one the engine
// finds in the temporary directory under its fixed name; this build carries no copy of its own,
// so a run whose StartMenu needs the relay and finds no program makes its links at the marker path
// and says so in the trace.
#include "sysconfig/link_relay.h"

#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "script/launch_program.h"
#include "sysconfig/shortcuts.h"

namespace tarvium {
namespace {

constexpr const char* kRelayMarker = "$TARVIUM$";
constexpr const char* kRelayName = "LinkRelay.exe";

const std::string& RelayProgram(SetupRun& run, ShortcutState& state) {
  if (state.bRelayChecked) return state.relayPath;
  state.bRelayChecked = true;
  if (run.variables.Get("StartMenu").find('?') == std::string::npos) return state.relayPath;
  std::string temp;
  if (run.machine.Files().GetTempPath(temp) != 0) return state.relayPath;
  if (run.machine.Files().FileExists(temp + kRelayName))
    state.relayPath = temp + kRelayName;
  else
    SetupTrace(run, "No %s in %s: links stay at their marker paths\n", kRelayName, temp.c_str());
  return state.relayPath;
}

// A path as the launcher's variable replacement gives it back: every '%' doubled. A marker path
// holds the name of the folder it stands for ("C:\$TARVIUM$\%PROGRAMS%\..."), which the relay
// resolves; replaced again, it would turn into a second marker.
std::string LiteralForLauncher(const std::string& path) {
  std::string literal;
  for (char c : path) literal += c == '%' ? std::string("%%") : std::string(1, c);
  return literal;
}

}  // namespace

std::string LinkRelayCommand(const std::string& relayPath, const std::string& linkPath,
                             bool bRemove) {
  return "\"" + LiteralForLauncher(relayPath) + "\" \"" + LiteralForLauncher(linkPath) + "\"" +
         (bRemove ? " 1" : "");
}

void RelayLink(SetupRun& run, ShortcutState& state, const std::string& linkPath, bool bRemove) {
  if (linkPath.find(kRelayMarker) == std::string::npos) return;
  const std::string& relay = RelayProgram(run, state);
  if (relay.empty()) return;
  LaunchProgram(run, LinkRelayCommand(relay, linkPath, bRemove), "", "", false, true, true, nullptr,
                nullptr, "");
}

}  // namespace tarvium
