// Fonts: a font file is recorded under the system's Fonts key by its name (the bare file name when
// it lies in the Fonts folder, where Windows looks first) and loaded into the font table; removal
// does the reverse. A change sets the run's flag, and the end of the run tells the running
// programs once, whatever the number of fonts.
#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "install/file_path_parts.h"
#include "platform/ansi_case.h"
#include "sysconfig/file_registrations.h"

namespace tarvium {
namespace {

using platform::RegRoot;

std::string FontsKey(SetupRun& run) {
  return "Software\\Microsoft\\" + run.variables.Get("WindowsName") + "\\CurrentVersion\\Fonts";
}

std::string FontValueData(SetupRun& run, const std::string& fontPath) {
  const std::string fontsFolder = run.variables.Get("Fonts") + "\\";
  const bool bInFontsFolder = platform::AnsiStartsWithNoCase(fontPath, fontsFolder) &&
                              fontPath.find('\\', fontsFolder.size()) == std::string::npos;
  return bInFontsFolder ? FileNameOf(fontPath) : fontPath;
}

}  // namespace

bool AddFont(SetupRun& run, const std::string& fontName, const std::string& fontPath) {
  SetupTrace(run, "Adding fonts for file %s\n", fontPath.c_str());
  RegWriteText(run, RegRoot::LocalMachine, FontsKey(run), fontName, FontValueData(run, fontPath));
  if (run.machine.Fonts().AddFontResource(fontPath) == 0) return false;
  run.ctx.bFontsChanged = true;
  return true;
}

bool RemoveFont(SetupRun& run, const std::string& fontName, const std::string& fontPath) {
  SetupTrace(run, "Deleting fonts for file %s\n", fontPath.c_str());
  const bool bRemoved = run.machine.Fonts().RemoveFontResource(fontPath);
  RegDeleteValueAt(run, RegRoot::LocalMachine, FontsKey(run), fontName);
  if (bRemoved) run.ctx.bFontsChanged = true;
  return bRemoved;
}

}  // namespace tarvium
