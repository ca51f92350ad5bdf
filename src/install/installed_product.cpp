// The read side of the product's registration. Versions are the subkeys of the product key
// (MachineKeyName without its version); a version counts as installed when its record holds a
// ProductName. A search that finds nothing under Software is repeated under Wow6432Node, where a
// 32-bit engine registered the product.
#include "install/installed_product.h"

#include <cstdlib>

#include "engine/registry_text.h"
#include "engine/setup_run.h"
#include "install/previous_version.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"
#include "script/version_compare.h"

namespace tarvium {
namespace {

using platform::RegRoot;

constexpr const char* kSoftwarePrefixes[] = {"Software\\", "Software\\Wow6432Node\\"};

// Revisions compare as numbers when the file's revision starts with a digit, else as text.
int CompareRevisions(const std::string& fileRevision, const std::string& installedRevision) {
  if (!fileRevision.empty() && fileRevision[0] >= '0' && fileRevision[0] <= '9') {
    const long long nFile = std::atoll(fileRevision.c_str());
    const long long nInstalled = std::atoll(installedRevision.c_str());
    return nFile < nInstalled ? -1 : nFile > nInstalled ? 1 : 0;
  }
  return platform::AnsiCompareNoCase(fileRevision, installedRevision);
}

bool SearchVersions(SetupRun& run, const std::string& productKey, bool bOlderOnly,
                    InstalledVersionInfo& found) {
  const std::string& version = run.variables.Get("Version");
  const std::string& revision = run.variables.Get("Revision");
  const uint32_t nFormat = run.ctx.nFormatVersion;
  bool bFound = false;
  std::string name;
  for (uint32_t i = 0; run.machine.Reg().EnumKey(RegRoot::LocalMachine, productKey, i, name) ==
                       platform::ERROR_SUCCESS;
       ++i) {
    const std::string record = productKey + "\\" + name + "\\Setup";
    if (RecordText(run, RegRoot::LocalMachine, record, "ProductName").empty()) continue;
    const std::string installedRevision =
        RecordText(run, RegRoot::LocalMachine, record, "Revision");
    if (bOlderOnly) {
      if (CompareVersions(name, version, nFormat, installedRevision, revision) < 0) {
        found = {name, installedRevision, false};
        return true;
      }
    } else if (!bFound || CompareVersions(name, found.szVersion, nFormat, installedRevision,
                                          found.szRevision) > 0) {
      found = {name, installedRevision, false};
      bFound = true;
    }
  }
  return bFound;
}

// A user-part run reads the user's own record first and falls back to the machine's, which
// holds the product until the user's first run has registered the user part.
std::string InstalledText(SetupRun& run, const std::string& record, const char* pszName) {
  std::string text;
  if (run.ctx.bUserPartRun) text = RecordText(run, RegRoot::CurrentUser, record, pszName);
  if (text.empty()) text = RecordText(run, RegRoot::LocalMachine, record, pszName);
  return text;
}

// An older version's directories become this run's defaults: in a user-part run all three, from
// the user's record first; else its application directory.
void TakeOverDirectories(SetupRun& run, const std::string& record) {
  const std::pair<const char*, const char*> kPaths[] = {
      {"AppPath", "ApplicationDir"}, {"ClientPath", "Client"}, {"DataPath", "DataDir"}};
  for (const auto& [pszValue, pszVariable] : kPaths) {
    if (!run.ctx.bUserPartRun && std::string_view(pszValue) != "AppPath") continue;
    const std::string path = InstalledText(run, record, pszValue);
    if (!path.empty()) run.variables.Set(pszVariable, path);
  }
}

}  // namespace

std::string ProductRecordKey(const std::string& machineKeyName) {
  return "Software\\" + machineKeyName + "\\Setup";
}

std::string ProductKeyOf(const std::string& machineKeyName) {
  const size_t nSlash = machineKeyName.rfind('\\');
  return nSlash == std::string::npos ? "" : machineKeyName.substr(0, nSlash);
}

std::string RecordText(SetupRun& run, RegRoot root, const std::string& key, const char* pszName) {
  std::string text;
  if (RegReadText(run, root, key, pszName, text) != platform::ERROR_SUCCESS) text.clear();
  return text;
}

bool FindInstalledVersion(SetupRun& run, bool bOlderOnly, InstalledVersionInfo& found) {
  const std::string productKey = ProductKeyOf(run.variables.Get("MachineKeyName"));
  if (productKey.empty()) return false;
  for (const char* pszPrefix : kSoftwarePrefixes) {
    if (!SearchVersions(run, pszPrefix + productKey, bOlderOnly, found)) continue;
    found.b64BitView = pszPrefix != kSoftwarePrefixes[0];
    if (bOlderOnly)
      TakeOverDirectories(run, pszPrefix + productKey + "\\" + found.szVersion + "\\Setup");
    return true;
  }
  return false;
}

void ReadInstalledProduct(SetupRun& run) {
  SetupContext& ctx = run.ctx;
  const std::string record = ProductRecordKey(run.variables.Get("MachineKeyName"));
  RegRoot recordRoot = RegRoot::LocalMachine;
  ctx.bInstalled = !RecordText(run, RegRoot::LocalMachine, record, "ProductName").empty();
  if (!ctx.bAdminSetup && !ctx.bWorkstationSetup) {
    if (!ctx.bInstalled && ctx.bUninstall &&
        !RecordText(run, RegRoot::CurrentUser, record, "ProductName").empty()) {
      ctx.bUserPartRun = ctx.bInstalled = true;
      recordRoot = RegRoot::CurrentUser;
    } else {
      ctx.bUserPartRun =
          ctx.bInstalled &&
          std::atoi(RecordText(run, recordRoot, record, "MachineSetup").c_str()) != 0;
    }
  }
  const std::string installedRevision = RecordText(run, recordRoot, record, "Revision");
  ctx.bNewerRevision =
      ctx.bInstalled && CompareRevisions(run.variables.Get("Revision"), installedRevision) > 0;
}

bool ReadInstalledData(SetupRun& run) {
  const std::string record = ProductRecordKey(run.variables.Get("MachineKeyName"));
  if (InstalledText(run, record, "ProductName").empty()) return false;
  const std::pair<const char*, const char*> kValues[] = {{"RegisteredOwner", "User"},
                                                         {"RegisteredOrganization", "Company"},
                                                         {"AppPath", "ApplicationDir"},
                                                         {"DataPath", "DataDir"},
                                                         {"ClientPath", "Client"}};
  for (const auto& [pszValue, pszVariable] : kValues) {
    const std::string text = InstalledText(run, record, pszValue);
    if (!text.empty()) run.variables.Set(pszVariable, text);
  }
  if (std::atoi(RecordText(run, RegRoot::LocalMachine, record, "FromAdminSetup").c_str()) != 0)
    run.ctx.bAdminInstallation = true;
  return true;
}

void AttachInstalledProduct(SetupRun& run) {
  run.install.findInstalledVersion = FindInstalledVersion;
  run.install.readInstalledProduct = ReadInstalledProduct;
  run.install.readInstalledData = ReadInstalledData;
  run.install.removePreviousVersion = RemovePreviousVersion;
}

}  // namespace tarvium
