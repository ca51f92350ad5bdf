// The keys are grouped in tables by where their value goes (a predefined variable, a text, number
// or switch field of SetupContext), and the tables are read in the order the file's sections have
// always been read, so that a later group may depend on an earlier one (the background colours
// on the background picture, the ten background texts on the format version).
#include "engine/product_identity.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "engine/error_file.h"
#include "engine/identity_fallbacks.h"
#include "engine/inf_fields.h"
#include "engine/inf_reader.h"
#include "engine/inf_values.h"
#include "engine/init_variables.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"

namespace tarvium {
namespace {

constexpr std::string_view kApplication = "Application";
constexpr size_t kLongTextSize = 4096;
constexpr uint32_t kOldestFormatVersion = 0x301;
constexpr uint32_t kBackgroundTextsVersion = 0x511;

struct VariableKey {
  std::string_view key;       // in [Application]
  std::string_view variable;  // the predefined variable it fills
  size_t nSize;
};

struct TextKey {
  std::string_view section;
  std::string_view key;
  std::string SetupContext::*pField;
  size_t nSize;
};

struct NumberKey {
  std::string_view section;
  std::string_view key;
  int32_t SetupContext::*pField;
  int32_t nDefault;
};

struct SwitchKey {
  std::string_view section;
  std::string_view key;
  bool SetupContext::*pField;
  bool bDefault;
};

// Identity values: the first field of the value, stored in the variable of the same name.
constexpr std::array<std::string_view, 8> kIdentityValues = {
    "Version",       "VersionDirSuffix", "Revision",           "ProductName",
    "DeveloperName", "ProductNameShort", "DeveloperNameShort", "SetupName"};

// An empty name takes the value of the other one of its pair.
constexpr std::array<std::pair<std::string_view, std::string_view>, 2> kEachOther = {{
    {"ProductName", "ProductNameShort"},
    {"DeveloperName", "DeveloperNameShort"},
}};

constexpr std::array<TextKey, 6> kPictureKeys = {{
    {kApplication, "UserText", &SetupContext::szUserText, kShortTextSize},
    {kApplication, "Logo", &SetupContext::szLogo, kShortTextSize},
    {kApplication, "WizardPicture", &SetupContext::szWizardPicture, kPathSize},
    {kApplication, "CopyFilePicture", &SetupContext::szCopyFilePicture, kPathSize},
    {kApplication, "BackgroundPicture", &SetupContext::szBackgroundPicture, kShortTextSize},
    {kApplication, "CopyDialogRect", &SetupContext::szCopyDialogRect, kShortTextSize},
}};

constexpr std::array<VariableKey, 6> kRegistryKeyNames = {{
    {"UserKeyName", "UserKeyName", kShortTextSize},
    {"MachineKeyName", "MachineKeyName", kShortTextSize},
    {"UninstallKeyName", "UninstallKeyName", kShortTextSize},
    {"UninstallDisplayName", "UninstallDisplayName", kShortTextSize},
    {"UninstallString", "UninstallString", kShortTextSize},
    {"ReinstallString", "ReinstallString", kShortTextSize},
}};

constexpr std::array<VariableKey, 5> kDirectoriesAndUser = {{
    {"ApplicationDir", "ApplicationDir", kPathSize},
    {"DataDir", "DataDir", kPathSize},
    {"SetupInfDir", "SetupInfDir", kPathSize},
    {"DefaultUser", "User", kShortTextSize},
    {"DefaultCompany", "Company", kShortTextSize},
}};

// Programs, the extension library and the cabinet pattern, then the keys of [Application],
// [Admin] and [Client] that the main sequence uses in its later phases.
constexpr std::array<TextKey, 22> kTextKeys = {{
    {kApplication, "SrcDir", &SetupContext::szSrcDirOverride, kPathSize},
    {kApplication, "Readme", &SetupContext::szReadme, kPathSize},
    {kApplication, "Execute", &SetupContext::szExecute, kPathSize},
    {kApplication, "ShowShellFolder", &SetupContext::szShowShellFolder, kPathSize},
    {kApplication, "RunIfInstalled", &SetupContext::szRunIfInstalled, kPathSize},
    {kApplication, "SetupExtDll", &SetupContext::szSetupExtDll, kPathSize},
    {kApplication, "SetupHookFunc", &SetupContext::szSetupHookFunc, kShortTextSize},
    {"Disks", "CabTemplateName", &SetupContext::szCabTemplateName, kShortTextSize},
    {kApplication, "UseStringSection", &SetupContext::szUseStringSection, kShortTextSize},
    {kApplication, "UseSysStringSection", &SetupContext::szUseSysStringSection, kShortTextSize},
    {kApplication, "BackgroundSound", &SetupContext::szBackgroundSound, kPathSize},
    {kApplication, "LicenceTextFileName", &SetupContext::szLicenceTextFileName, kPathSize},
    {kApplication, "LicenceText", &SetupContext::szLicenceText, kVariableLineSize},
    {kApplication, "Prompts", &SetupContext::szPrompts, kLongTextSize},
    {kApplication, "EndMessage", &SetupContext::szEndMessage, kLongTextSize},
    {kApplication, "RequirementsText", &SetupContext::szRequirementsText, kLongTextSize},
    {"Admin", "ApplicationDir", &SetupContext::szAdminApplicationDir, kPathSize},
    {"Admin", "ClientSrcDir", &SetupContext::szAdminClientSrcDir, kPathSize},
    {"Admin", "EndMessage", &SetupContext::szAdminEndMessage, kLongTextSize},
    {"Admin", "UninstallString", &SetupContext::szAdminUninstallString, kShortTextSize},
    {"Admin", "ReinstallString", &SetupContext::szAdminReinstallString, kShortTextSize},
    {"Client", "ClientDir", &SetupContext::szClientDir, kPathSize},
}};

constexpr std::array<NumberKey, 6> kNumberKeys = {{
    {kApplication, "ReinstallMode", &SetupContext::nReinstallMode, 0},
    {kApplication, "HideUninstall", &SetupContext::nHideUninstall, 0},
    {kApplication, "AskUninstallOld", &SetupContext::iAskUninstallOld, 0},
    {kApplication, "UseCheckmarks", &SetupContext::nUseCheckmarks, 2},
    {kApplication, "Reboot", &SetupContext::iReboot, 0},
    {"Client", "Reboot", &SetupContext::iClientReboot, 0},
}};

// "AskOptions" of [Admin] and [Workstation] have no default of their own: a missing key is 0.
constexpr std::array<SwitchKey, 40> kSwitchKeys = {{
    {"Setup", "ShowCaption", &SetupContext::bShowCaption, false},
    {"Setup", "TopmostWindow", &SetupContext::bTopmostWindow, false},
    {"Setup", "BlockInput", &SetupContext::bBlockInput, false},
    {kApplication, "SetupExtIsUnicode", &SetupContext::bSetupExtIsUnicode, false},
    {kApplication, "ServiceRelease", &SetupContext::bServiceRelease, false},
    {kApplication, "Expand", &SetupContext::bExpand, true},
    {kApplication, "CopyExistingFiles", &SetupContext::bCopyExistingFiles, false},
    {kApplication, "AskLicence", &SetupContext::bAskLicence, false},
    {kApplication, "AskInfo", &SetupContext::bAskInfo, false},
    {kApplication, "AskFromCD", &SetupContext::bAskFromCD, false},
    {kApplication, "AskShared", &SetupContext::bAskShared, true},
    {kApplication, "AskMode", &SetupContext::bAskMode, false},
    {kApplication, "AskDir", &SetupContext::bAskDir, false},
    {kApplication, "AskDataDir", &SetupContext::bAskDataDir, false},
    {kApplication, "AskUser", &SetupContext::bAskUser, false},
    {kApplication, "UseUser", &SetupContext::bUseUser, true},
    {kApplication, "UseCompany", &SetupContext::bUseCompany, true},
    {kApplication, "AutoIniFileMapping", &SetupContext::bAutoIniFileMapping, false},
    {kApplication, "ShellLinks", &SetupContext::bShellLinks, false},
    {kApplication, "CommonShellLinks", &SetupContext::bCommonShellLinks, false},
    {kApplication, "CreateUnresolvableShellLinks", &SetupContext::bCreateUnresolvableShellLinks,
     true},
    {kApplication, "WarnRegistry", &SetupContext::bWarnRegistry, true},
    {kApplication, "DateWarning", &SetupContext::bDateWarning, true},
    {kApplication, "SizeWarning", &SetupContext::bSizeWarning, true},
    {kApplication, "PreventExternalReboot", &SetupContext::bPreventExternalReboot, false},
    {kApplication, "StartServicesOnReboot", &SetupContext::bStartServicesOnReboot, false},
    {kApplication, "UseRegSvr", &SetupContext::bUseRegSvr, false},
    {kApplication, "AbortAfterCallTimeOut", &SetupContext::bAbortAfterCallTimeOut, false},
    {kApplication, "ReplaceRunOnce", &SetupContext::bReplaceRunOnce, false},
    {kApplication, "DisableCancelButton", &SetupContext::bDisableCancelButton, false},
    {kApplication, "ShowFullPath", &SetupContext::bShowFullPath, false},
    {kApplication, "AskInfoUpdate", &SetupContext::bAskInfoUpdate, false},
    {"Admin", "AskOptions", &SetupContext::bAdminAskOptions, false},
    {"Admin", "AskDir", &SetupContext::bAdminAskDir, false},
    {"Admin", "AdminSetup", &SetupContext::bAdminInstallation, false},
    {"Workstation", "AskOptions", &SetupContext::bWorkstationAskOptions, false},
    {"Client", "AskOptions", &SetupContext::bClientAskOptions, true},
    {"Client", "AskDir", &SetupContext::bClientAskDir, false},
    {"Client", "UseUninstallStringFromApplication",
     &SetupContext::bUseUninstallStringFromApplication, false},
    {kApplication, "ShowEndMessage", &SetupContext::bShowEndMessage, true},  // not with /S4
}};

constexpr std::array<FlagName, 4> kUninstallOptionNames = {{
    {"SYSTEMCOMPONENT", kUninstallSystemComponent},
    {"NOREMOVE", kUninstallNoRemove},
    {"NOREPAIR", kUninstallNoRepair},
    {"NOMODIFY", kUninstallNoModify},
}};

// The values whose references are replaced, once each, after all keys are read.
constexpr std::array<std::string_view, 14> kReplacedVariables = {"ProductName",
                                                                 "ProductNameShort",
                                                                 "Version",
                                                                 "DeveloperName",
                                                                 "DeveloperNameShort",
                                                                 "SetupName",
                                                                 "ApplicationDir",
                                                                 "DataDir",
                                                                 "SetupInfDir",
                                                                 "User",
                                                                 "Company",
                                                                 "MachineKeyName",
                                                                 "UninstallKeyName",
                                                                 "UninstallDisplayName"};

void ReadSetupSection(SetupRun& run, const InfFile& inf) {
  std::string version;
  GetValue(inf, "Setup", "Version", version, kShortTextSize);
  run.ctx.nFormatVersion = ParseFormatVersion(version);
}

void ReadIdentityValues(SetupRun& run, const InfFile& inf) {
  VariableStore& v = run.variables;
  for (std::string_view name : kIdentityValues)
    v.Set(name, ReadFirstFieldKey(inf, kApplication, name));
  for (const auto& [full, brief] : kEachOther) {
    if (v.Get(full).empty()) v.Set(full, v.Get(brief));
    if (v.Get(brief).empty()) v.Set(brief, v.Get(full));
  }
}

void ReadTextKeys(SetupRun& run, const InfFile& inf, std::span<const TextKey> keys) {
  for (const TextKey& key : keys)
    run.ctx.*key.pField = ReadTextKey(inf, key.section, key.key, key.nSize);
}

void ReadVariableKeys(SetupRun& run, const InfFile& inf, std::span<const VariableKey> keys) {
  for (const VariableKey& key : keys)
    run.variables.Set(key.variable, ReadTextKey(inf, kApplication, key.key, key.nSize));
}

// Below format 0x511 "InfoText" is one background line; from it on the ten "Text<n>" keys are
// the background and "InfoText" is the text of the info page.
void ReadTextsAndPictures(SetupRun& run, const InfFile& inf) {
  SetupContext& ctx = run.ctx;
  const bool bBackgroundTexts = ctx.nFormatVersion >= kBackgroundTextsVersion;
  for (size_t i = 0; i < ctx.szBackgroundText.size(); ++i)
    ctx.szBackgroundText[i] =
        bBackgroundTexts
            ? ReadTextKey(inf, kApplication, "Text" + std::to_string(i + 1), kVariableLineSize)
            : std::string();
  ctx.szInfoText = ReadTextKey(inf, kApplication, "InfoText",
                               bBackgroundTexts ? kVariableLineSize : kShortTextSize);
  ReadTextKeys(run, inf, kPictureKeys);
}

// Blue to black without a background picture, nothing drawn with one; each given field (read
// as hexadecimal) replaces its default.
void ReadBackgroundColors(SetupRun& run, const InfFile& inf) {
  SetupContext& ctx = run.ctx;
  const bool bPicture = !ctx.szBackgroundPicture.empty();
  ctx.crBackgroundFrom = bPicture ? kNoColor : 0xFF0000;
  ctx.crBackgroundTo = bPicture ? kNoColor : 0;
  const std::string value = ReadTextKey(inf, kApplication, "BackgroundColor", kShortTextSize);
  std::string field;
  const char* rest = NextField(value.c_str(), field);
  ParseHexNumber(field, ctx.crBackgroundFrom);
  NextField(rest, field);
  ParseHexNumber(field, ctx.crBackgroundTo);
}

void ReadBehaviour(SetupRun& run, const InfFile& inf) {
  SetupContext& ctx = run.ctx;
  for (const NumberKey& key : kNumberKeys)
    ctx.*key.pField = ReadNumberKey(inf, key.section, key.key, key.nDefault);
  for (const SwitchKey& key : kSwitchKeys) {
    if (key.pField == &SetupContext::bShowEndMessage && ctx.bSilentNoEnd) continue;
    ctx.*key.pField = ReadSwitchKey(inf, key.section, key.key, key.bDefault);
  }
  // seconds, kept as milliseconds; only a missing or empty key means no limit
  const std::string seconds = ReadTextKey(inf, kApplication, "CallTimeOut", kShortTextSize);
  ctx.nCallTimeOut = seconds.empty()
                         ? -1
                         : static_cast<int32_t>(std::clamp<int64_t>(
                               int64_t{ParseDecimal(seconds)} * 1000, INT32_MIN, INT32_MAX));
  ctx.dwUninstallOptions = ParseFlags(
      ReadTextKey(inf, kApplication, "UninstallOptions", kShortTextSize), kUninstallOptionNames);
}

void ReplaceVariablesOnce(SetupRun& run) {
  for (std::string_view name : kReplacedVariables) {
    std::string value = run.variables.Get(name);
    ReplaceVariables(run, value);
    run.variables.Set(name, value);
  }
  ReplaceVariables(run, run.ctx.szShowShellFolder);
  for (std::string_view name : {"MachineKeyName", "UninstallKeyName"}) {
    std::string value = run.variables.Get(name);
    ReduceDoubledBackslashes(value);
    run.variables.Set(name, value);
  }
}

// The print processor and driver directories of this server are looked up by the printer support.
void ReadPrintKeys(SetupRun& run, const InfFile& inf) {
  for (std::string_view name : {"PrintServer", "PrintEnvironment"}) {
    std::string value = ReadTextKey(inf, kApplication, name, kPathSize);
    ReplaceVariables(run, value);
    run.variables.Set(name, value);
  }
  SetPrintDirectories(run, run.variables.Get("PrintServer"), run.variables.Get("PrintEnvironment"));
}

// The identity lines of the error and trace files (the trace file is created now that its name
// may use the identity), SetupInfDir with its trailing backslash, the window title.
void WriteIdentityHeaders(SetupRun& run) {
  VariableStore& v = run.variables;
  CreateTraceFile(run);
  WriteIdentityLines(run, v.Get("ProductName"), v.Get("Version"), v.Get("Revision"),
                     run.ctx.szInfFile);
  const std::string setupInfDir = v.Get("SetupInfDir");
  if (!setupInfDir.empty() && setupInfDir.back() != '\\') v.Set("SetupInfDir", setupInfDir + "\\");
  if (!v.Get("SetupName").empty()) run.ctx.szWindowTitle = v.Get("SetupName");
}

}  // namespace

void ReduceDoubledBackslashes(std::string& text) {
  for (size_t pos = text.find("\\\\"); pos != std::string::npos; pos = text.find("\\\\", pos))
    text.erase(pos, 1);
}

std::vector<SizedKey> SizedIdentityKeys() {
  const std::array<std::span<const TextKey>, 2> textTables = {kPictureKeys, kTextKeys};
  const std::array<std::span<const VariableKey>, 2> variableTables = {kRegistryKeyNames,
                                                                      kDirectoriesAndUser};
  std::vector<SizedKey> keys;
  for (const std::span<const TextKey> table : textTables)
    for (const TextKey& key : table) keys.push_back({key.section, key.key, key.nSize});
  for (const std::span<const VariableKey> table : variableTables)
    for (const VariableKey& key : table) keys.push_back({kApplication, key.key, key.nSize});
  return keys;
}

void ReadProductIdentity(SetupRun& run, const InfFile& inf) {
  ReadSetupSection(run, inf);
  run.variables.Set("ZQ58.SetupInfo.PackageGUID",
                    ReadTextKey(inf, "SetupInfo", "PackageGUID", kShortTextSize));
  ReadIdentityValues(run, inf);
  ReadTextsAndPictures(run, inf);
  ReadBackgroundColors(run, inf);
  ReadVariableKeys(run, inf, kRegistryKeyNames);
  ReadVariableKeys(run, inf, kDirectoriesAndUser);
  ReadTextKeys(run, inf, kTextKeys);
  if (run.ctx.szPrompts.empty())
    run.ctx.szPrompts = ReadTextKey(inf, kApplication, "Prompt", kLongTextSize);
  ReadBehaviour(run, inf);
  ReplaceVariablesOnce(run);
  ReadPrintKeys(run, inf);
  FillUserAndCompany(run);
  ChooseShellLinkFolders(run);
  WriteIdentityHeaders(run);
}

bool IsAcceptedFormatVersion(uint32_t nFormatVersion) {
  return nFormatVersion >= kOldestFormatVersion;
}

bool CheckFormatVersion(SetupRun& run) {
  if (IsAcceptedFormatVersion(run.ctx.nFormatVersion)) return true;
  ShowMessage(run, 5532, run.ctx.szInfFile);
  return false;
}

}  // namespace tarvium
