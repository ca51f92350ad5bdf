// The announcements a copied file may need before the system uses it, and their undoing before it
// is removed: fonts (AddFont, RemoveFont), COM servers and type libraries (RegisterComServer,
// UnregisterComServer) and .NET assemblies (RegisterAssembly). The file copy and the shared-file
// counts reach them through the installation engine's configuration hooks.
#pragma once
#include <string>

namespace tarvium {

struct SetupRun;

// The font's value under the Fonts key (the bare file name for a file in the Fonts folder), then
// the font table; true when the table took the font.
bool AddFont(SetupRun& run, const std::string& fontName, const std::string& fontPath);
bool RemoveFont(SetupRun& run, const std::string& fontName, const std::string& fontPath);

// By the file's extension: a local server (.exe) runs with /REGSERVER or /UNREGSERVER, a type
// library (.tlb, .olb) is registered by the COM library, anything else is an in-process server
// whose entry is called (or, with UseRegSvr, the system's registration program is run).
bool RegisterComServer(SetupRun& run, const std::string& file);
bool UnregisterComServer(SetupRun& run, const std::string& file);

// Runs the .NET assembly registration tool of the runtime in CLRDir on the file, with
// " /unregister" when removing; true when it ran and ended with exit code 0.
bool RegisterAssembly(SetupRun& run, const std::string& file, bool bRegister);

}  // namespace tarvium
