// The steps run in a fixed order because later ones use earlier results: the path is made long
// and free of "\.." before the variables and directories are taken from it.
#include "engine/inf_location.h"

#include <string>

#include "engine/debug_output.h"
#include "engine/encrypted_value.h"
#include "engine/inf_fields.h"
#include "engine/path_steps.h"
#include "engine/registry_operations.h"
#include "engine/replace_variables.h"
#include "engine/run_variable_names.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

std::string DefaultInfFile(SetupRun& run) {
  const std::string inStartup = run.ctx.szStartupDir + "\\Setup.inf";
  if (run.machine.Files().FileExists(inStartup)) return inStartup;
  return run.ctx.szExeDir + "\\Setup.inf";
}

// "C:" or "\\server"; empty for a relative path.
std::string ServerPart(const std::string& path) {
  if (path.size() > 1 && path[1] == ':') return path.substr(0, 2);
  if (path.rfind("\\\\", 0) != 0) return "";
  return path.substr(0, path.find('\\', 2));
}

std::string DirectoryOf(const std::string& path) {
  const size_t nSlash = path.rfind('\\');
  return nSlash == std::string::npos ? "" : path.substr(0, nSlash);
}

void OpenServerConnection(SetupRun& run) {
  ReplaceVariables(run, run.ctx.szConnection);
  if (run.ctx.szConnection.empty()) return;
  std::string server;
  std::string user;
  std::string password;
  const char* rest = NextField(run.ctx.szConnection.c_str(), server);
  rest = NextField(rest, user);
  NextField(rest, password);
  DecryptGuard(run, password);
  if (server.empty()) return;
  DebugOutput(run, "[Setup] Connection to server: " + server);
  if (run.machine.Net().UseConnection(server, user, password) == platform::ERROR_SUCCESS)
    run.ctx.szConnectedServer = server;
}

}  // namespace

void ResolveInfFile(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  std::string path = ctx.szInfFile.empty() ? DefaultInfFile(run) : ctx.szInfFile;
  RegDeleteKeyAt(run, platform::RegRoot::CurrentUser, "Software\\Kelvaron\\SetupInfo");
  std::string longPath;
  if (run.machine.Files().GetLongPathName(path, longPath) == platform::ERROR_SUCCESS)
    path = longPath;
  if (ctx.bDebug && ctx.hNotifyWindow != 0) {
    ctx.hDebugWindow = ctx.hNotifyWindow;
    ctx.hNotifyWindow = 0;
  }
  RemoveParentSteps(path);
  ctx.szInfFile = path.substr(0, kPathSize - 1);
  const std::string dir = DirectoryOf(ctx.szInfFile);
  SetVariable(run, "SetupInf", ctx.szInfFile);
  SetVariable(run, std::string(kSetupInfServerName), ServerPart(ctx.szInfFile));
  SetVariable(run, std::string(kSetupInfPathName), dir);
  SetVariable(run, std::string(kSetupInfFileName), ctx.szInfFile);
  if (ctx.szSrcDir.empty()) ctx.szSrcDir = dir + "\\";
  SetVariable(run, "SrcDir", ctx.szSrcDir);
  if (!dir.empty()) run.machine.Files().SetCurrentDirectory(dir.size() == 2 ? dir + "\\" : dir);
  OpenServerConnection(run);
}

void CloseServerConnection(SetupRun& run) {
  if (run.ctx.szConnectedServer.empty()) return;
  DebugOutput(run, "[Setup] Disconnection from server: " + run.ctx.szConnectedServer);
  run.machine.Net().CancelConnection(run.ctx.szConnectedServer, true);
  run.ctx.szConnectedServer.clear();
}

}  // namespace tarvium
