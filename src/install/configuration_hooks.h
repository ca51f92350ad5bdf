// What the installation engine asks of the system-configuration handlers: fonts, COM and .NET
// registration, services, shortcuts and security lines. The handlers fill these when they attach
// (AttachSystemConfiguration); an empty entry means its handler is not part of this build yet,
// and the caller traces the request and goes on.
#pragma once
#include <functional>
#include <string>

namespace tarvium {

struct SetupRun;

struct ConfigurationHooks {
  // Adds a font file to the system's fonts (bAdd) or removes it; name is the copy line's name.
  std::function<bool(SetupRun&, const std::string& path, const std::string& name, bool bAdd)>
      updateFont;
  // COM self-registration of a file (REGISTER) or its unregistration.
  std::function<bool(SetupRun&, const std::string& path, bool bRegister)> registerServer;
  // Installs (or removes) the service whose executable the file is and whose name is `name`.
  std::function<bool(SetupRun&, const std::string& path, const std::string& name, bool bInstall)>
      registerService;
  // Registration of a .NET assembly with the registration tool (REGASM) or its unregistration.
  std::function<bool(SetupRun&, const std::string& path, bool bRegister)> registerAssembly;
  // Creates (or, in an uninstall, removes) the shortcut a shell line describes: the link's path
  // and the line's fields after it, as written (variables not yet replaced; the comma after the
  // link may be given). Its run filters apply as to any shell line.
  std::function<bool(SetupRun&, const std::string& linkPath, const std::string& fields)>
      createShellLink;
  // The same for a link the engine itself makes (the workstation links): no run filter applies.
  std::function<bool(SetupRun&, const std::string& linkPath, const std::string& fields)>
      createEngineLink;
  // With the ShellLinks key on, after the pass: the shell sections of the options it processed.
  std::function<bool(SetupRun&)> createOptionLinks;
  // Hands one line to the security handler ("RegDacl.Add (...)").
  std::function<bool(SetupRun&, const std::string& line)> runSecurityLine;
};

}  // namespace tarvium
