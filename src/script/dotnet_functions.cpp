// IsDotNetVersionAvailable and GetDotNetPatchLevel: which .NET Framework versions the machine has
// and at which service-pack or servicing level. Windows records each version under
// HKLM\Software\Microsoft\NET Framework Setup\NDP; a version counts only when its runtime is
// there as well, which is the runtime's directory below %WINDIR%\Microsoft.NET\Framework64 or
// \Framework (what the runtime loader binds). The 4.5 and later versions share the v4 keys and
// differ only by their "Release" number, read against the thresholds of each version.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "script/decimal_text.h"
#include "script/function_arguments.h"
#include "script/machine_function_groups.h"

namespace tarvium {
namespace {

using platform::RegRoot;

const std::string kNdp = "Software\\Microsoft\\NET Framework Setup\\NDP\\";
const std::string kClientKey = kNdp + "v4\\Client";
const std::string kFullKey = kNdp + "v4\\Full";
constexpr const char* kRuntime4 = "v4.0.30319";

// --- Registry and runtime probes ----------------------------------------------------------------

std::optional<uint32_t> ReadDword(SetupRun& run, const std::string& key, const char* name) {
  platform::RegValue value;
  if (run.machine.Reg().QueryValue(RegRoot::LocalMachine, key, name, value) !=
          platform::ERROR_SUCCESS ||
      value.dwType != platform::REG_DWORD || value.data.size() < 4)
    return std::nullopt;
  return static_cast<uint32_t>(value.data[0] | value.data[1] << 8 | value.data[2] << 16 |
                               static_cast<uint32_t>(value.data[3]) << 24);
}

std::string ReadString(SetupRun& run, const std::string& key, const char* name) {
  platform::RegValue value;
  if (run.machine.Reg().QueryValue(RegRoot::LocalMachine, key, name, value) !=
      platform::ERROR_SUCCESS)
    return "";
  const std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

// Dotted versions compared part by part as numbers; a missing part counts as 0.
bool IsVersionAtLeast(std::string_view version, std::string_view minimum) {
  while (!version.empty() || !minimum.empty()) {
    const int64_t nHave = ReadDecimal(version.substr(0, version.find('.')));
    const int64_t nNeed = ReadDecimal(minimum.substr(0, minimum.find('.')));
    if (nHave != nNeed) return nHave > nNeed;
    version.remove_prefix(std::min(version.size(), version.find('.') + 1));
    minimum.remove_prefix(std::min(minimum.size(), minimum.find('.') + 1));
  }
  return true;
}

// "Install" (or "InstallSuccess") is 1 and, when a minimum is given, "Version" reaches it.
bool IsInstalled(SetupRun& run, const std::string& key, const char* minimumVersion = nullptr) {
  const bool bInstalled =
      ReadDword(run, key, "Install") == 1u || ReadDword(run, key, "InstallSuccess") == 1u;
  if (!bInstalled || !minimumVersion) return bInstalled;
  const std::string version = ReadString(run, key, "Version");
  return !version.empty() && IsVersionAtLeast(version, minimumVersion);
}

bool IsRuntimePresent(SetupRun& run, const char* runtimeDir) {
  std::string windowsDir;
  if (run.machine.System().GetSpecialFolder(platform::SpecialFolder::Windows, windowsDir) !=
      platform::ERROR_SUCCESS)
    return false;
  for (const char* framework : {"Framework64", "Framework"})
    if (run.machine.Files().DirectoryExists(windowsDir + "\\Microsoft.NET\\" + framework + "\\" +
                                            runtimeDir))
      return true;
  return false;
}

// A level DWORD; a missing one is level 0 of an installed version.
int32_t DwordLevel(SetupRun& run, const std::string& key, const char* name) {
  return static_cast<int32_t>(std::min<uint32_t>(ReadDword(run, key, name).value_or(0), INT32_MAX));
}

// --- Versions -----------------------------------------------------------------------------------

enum class Flavor { Bare, Client, Full };

// The versions that share the v4 keys and are told apart by "Release"; thresholds for the
// levels 0, 1, 2 (0 where a version has no such level).
struct ReleaseVersion {
  std::string_view name;
  std::array<uint32_t, 3> thresholds;
  bool bBareReadsFull;  // the bare name's availability is read under v4\Full, else v4\Client
};

constexpr ReleaseVersion kReleaseVersions[] = {
    {"4.5", {378389, 378675, 379893}, false},
    {"4.6", {393295, 394254, 394802}, false},
    {"4.7", {460798, 461308, 461808}, true},
    {"4.8", {528040, 0, 0}, true},
};

int32_t ReleaseLevel(const ReleaseVersion& version, uint32_t nRelease) {
  int32_t nLevel = 0;
  for (int32_t i = 1; i < 3; ++i)
    if (version.thresholds[i] != 0 && nRelease >= version.thresholds[i]) nLevel = i;
  return nLevel;
}

// What a version name asks for: "4.7 Full" is base "4.7" and Flavor::Full.
struct DotNetName {
  std::string base;
  Flavor flavor = Flavor::Bare;
};

DotNetName ParseDotNetName(const std::string& text) {
  for (auto [suffix, flavor] : {std::pair{" Client", Flavor::Client}, {" Full", Flavor::Full}})
    if (platform::AnsiEndsWithNoCase(text, suffix))
      return {text.substr(0, text.size() - std::string_view(suffix).size()), flavor};
  return {text, Flavor::Bare};
}

// The v4 keys a flavor reads: both for the bare name, else its own.
std::vector<std::string> KeysOf(Flavor flavor) {
  if (flavor == Flavor::Client) return {kClientKey};
  if (flavor == Flavor::Full) return {kFullKey};
  return {kClientKey, kFullKey};
}

// The availability and level of one version name; nullopt for a name outside the table, -1 for
// a version that is not installed.
using Probe = int32_t (*)(SetupRun& run, Flavor flavor);

int32_t Probe10(SetupRun& run, Flavor) {
  platform::RegValue value;
  if (run.machine.Reg().QueryValue(RegRoot::LocalMachine,
                                   "Software\\Microsoft\\.NETFramework\\Policy\\v1.0", "3705",
                                   value) != platform::ERROR_SUCCESS ||
      !IsRuntimePresent(run, "v1.0.3705"))
    return -1;
  const std::string version = ReadString(run,
                                         "Software\\Microsoft\\Active Setup\\Installed "
                                         "Components\\{78705f0d-e8db-4b2d-8193-982bdda15ecd}",
                                         "Version");
  const size_t nComma = version.rfind(',');
  if (nComma == std::string::npos) return 0;
  const int64_t nLevel = ReadDecimal(std::string_view(version).substr(nComma + 1));
  return static_cast<int32_t>(std::clamp<int64_t>(nLevel, 0, INT32_MAX));
}

int32_t Probe11(SetupRun& run, Flavor) {
  if (!IsInstalled(run, kNdp + "v2.0.50727") || !IsRuntimePresent(run, "v1.1.4322")) return -1;
  return DwordLevel(run, kNdp + "v1.1.4322", "SP");
}

bool Has20(SetupRun& run) {
  return IsInstalled(run, kNdp + "v2.0.50727") && IsRuntimePresent(run, "v2.0.50727");
}

bool Has30(SetupRun& run) {
  return Has20(run) && IsInstalled(run, kNdp + "v3.0\\Setup", "3.0.4506.26");
}

int32_t Probe20(SetupRun& run, Flavor) {
  return Has20(run) ? DwordLevel(run, kNdp + "v2.0.50727", "SP") : -1;
}

int32_t Probe30(SetupRun& run, Flavor) {
  return Has30(run) ? DwordLevel(run, kNdp + "v3.0", "SP") : -1;
}

int32_t Probe35(SetupRun& run, Flavor) {
  if (!Has30(run) || !IsInstalled(run, kNdp + "v3.5", "3.5.21022.8")) return -1;
  return DwordLevel(run, kNdp + "v3.5", "SP");
}

int32_t Probe40(SetupRun& run, Flavor flavor) {
  bool bInstalled = false;
  for (const std::string& key : KeysOf(flavor))
    bInstalled = bInstalled || IsInstalled(run, key, "4.0.30319.0");
  if (!bInstalled || !IsRuntimePresent(run, kRuntime4)) return -1;
  return DwordLevel(run, flavor == Flavor::Full ? kFullKey : kClientKey, "Servicing");
}

// 4.5: any "Release" makes it available. 4.6 and later: "Release" reaches the level-0
// threshold. The level is read from Client for 4.5's bare name, from Full for later bare names.
int32_t ProbeRelease(SetupRun& run, const ReleaseVersion& version, Flavor flavor) {
  const bool b45 = version.name == "4.5";
  std::vector<std::string> availabilityKeys = KeysOf(flavor);
  if (!b45 && flavor == Flavor::Bare)
    availabilityKeys = {version.bBareReadsFull ? kFullKey : kClientKey};
  bool bAvailable = false;
  for (const std::string& key : availabilityKeys) {
    const std::optional<uint32_t> nRelease = ReadDword(run, key, "Release");
    bAvailable = bAvailable || (nRelease && (b45 || *nRelease >= version.thresholds[0]));
  }
  if (!bAvailable || !IsRuntimePresent(run, kRuntime4)) return -1;
  const bool bLevelFromFull = flavor == Flavor::Full || (!b45 && flavor == Flavor::Bare);
  return ReleaseLevel(
      version, ReadDword(run, bLevelFromFull ? kFullKey : kClientKey, "Release").value_or(0));
}

struct FixedVersion {
  std::string_view name;
  Probe probe;
  bool bFlavors;  // "Client" and "Full" forms exist
};

constexpr FixedVersion kFixedVersions[] = {
    {"1.0", Probe10, false}, {"1.1", Probe11, false}, {"2.0", Probe20, false},
    {"3.0", Probe30, false}, {"3.5", Probe35, false}, {"4.0", Probe40, true},
};

std::optional<int32_t> PatchLevelOf(SetupRun& run, const std::string& text) {
  const DotNetName name = ParseDotNetName(text);
  for (const FixedVersion& version : kFixedVersions)
    if (name.base == version.name && (version.bFlavors || name.flavor == Flavor::Bare))
      return version.probe(run, name.flavor);
  for (const ReleaseVersion& version : kReleaseVersions)
    if (name.base == version.name) return ProbeRelease(run, version, name.flavor);
  return std::nullopt;
}

std::string VersionArgument(std::string_view args) {
  std::string name = FunctionArguments(args, 1).Text(0);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

void IsDotNetVersionAvailable(SetupRun& run, std::string_view args, std::string& result) {
  result = TruthText(PatchLevelOf(run, VersionArgument(args)).value_or(-1) >= 0);
}

void GetDotNetPatchLevel(SetupRun& run, std::string_view args, std::string& result) {
  result = std::to_string(PatchLevelOf(run, VersionArgument(args)).value_or(-1));
}

constexpr ExpressionFunction kFunctions[] = {
    {"GetDotNetPatchLevel", GetDotNetPatchLevel},
    {"IsDotNetVersionAvailable", IsDotNetVersionAvailable},
};

}  // namespace

std::span<const ExpressionFunction> DotNetFunctions() {
  return kFunctions;
}

}  // namespace tarvium
