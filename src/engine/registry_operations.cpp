// Writes create their key first, as RegCreateKeyEx followed by RegSetValueEx does; string data
// keeps its terminating zero. The prune walks cut the path at its last backslash, so they never
// climb above the first component the caller named.
#include "engine/registry_operations.h"

#include <cstdio>

#include "engine/debug_output.h"
#include "engine/setup_run.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

platform::RegValue TextValue(uint32_t dwType, const std::string& text) {
  platform::RegValue value;
  value.dwType = dwType;
  value.data.assign(text.begin(), text.end());
  value.data.push_back(0);
  return value;
}

uint32_t WriteValue(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                    const std::string& valueName, const platform::RegValue& value) {
  platform::Registry& reg = run.machine.Reg();
  if (const uint32_t err = reg.CreateKey(root, keyPath); err != platform::ERROR_SUCCESS) return err;
  return reg.SetValue(root, keyPath, valueName, value);
}

using KeyTest = bool (*)(SetupRun&, platform::RegRoot, const std::string&);

bool HasNoSubkeys(SetupRun& run, platform::RegRoot root, const std::string& keyPath) {
  return RegCountSubkeys(run, root, keyPath) == 0;
}

uint32_t PruneWhile(SetupRun& run, platform::RegRoot root, std::string keyPath, bool bIncludeSelf,
                    KeyTest isRemovable) {
  uint32_t err = platform::ERROR_SUCCESS;
  if (bIncludeSelf) {
    // A key that stays keeps its parents: they hold it.
    if (!isRemovable(run, root, keyPath)) return err;
    err = RegDeleteKeyAt(run, root, keyPath);
  }
  for (size_t nCut = keyPath.rfind('\\'); nCut != std::string::npos && nCut > 0;
       nCut = keyPath.rfind('\\')) {
    keyPath.resize(nCut);
    if (!isRemovable(run, root, keyPath)) break;
    err = RegDeleteKeyAt(run, root, keyPath);
    if (err != platform::ERROR_SUCCESS) break;
  }
  return err;
}

}  // namespace

void MapCurrentUserRoot(SetupRun& run, platform::RegRoot& root, std::string& keyPath) {
  if (root != platform::RegRoot::CurrentUser || run.variables.userHiveSid.empty()) return;
  root = platform::RegRoot::Users;
  keyPath = run.variables.userHiveSid + (keyPath.empty() ? "" : "\\" + keyPath);
}

uint32_t RegWriteText(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                      const std::string& valueName, const std::string& text) {
  return WriteValue(run, root, keyPath, valueName, TextValue(platform::REG_SZ, text));
}

uint32_t RegWriteDword(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                       const std::string& valueName, uint32_t dwValue) {
  platform::RegValue value;
  value.dwType = platform::REG_DWORD;
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(dwValue >> (8 * i)));
  return WriteValue(run, root, keyPath, valueName, value);
}

uint32_t RegWriteEnvText(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                         const std::string& valueName, const std::string& text) {
  const uint32_t dwType =
      text.find('%') != std::string::npos ? platform::REG_EXPAND_SZ : platform::REG_SZ;
  return WriteValue(run, root, keyPath, valueName, TextValue(dwType, text));
}

uint32_t RegReadTextRaw(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                        const std::string& valueName, std::string& bytes) {
  bytes.clear();
  platform::RegValue value;
  const uint32_t err = run.machine.Reg().QueryValue(root, keyPath, valueName, value);
  if (err != platform::ERROR_SUCCESS) return err;
  bytes.assign(value.data.begin(), value.data.end());
  const bool bString = value.dwType == platform::REG_SZ || value.dwType == platform::REG_EXPAND_SZ;
  if (bString && !bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  if (bytes.size() > kRegTextMax) bytes.resize(kRegTextMax);
  return platform::ERROR_SUCCESS;
}

uint32_t RegViewReadStringValue(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                                platform::RegView view, const std::string& valueName,
                                std::string& text) {
  text.clear();
  platform::Registry& reg = run.machine.Reg();
  if (const uint32_t err = reg.OpenKey(root, keyPath, view); err != platform::ERROR_SUCCESS) {
    char line[1200];
    std::snprintf(line, sizeof line,
                  "RegViewReadStringValue: Can not open key '%s': error number %i\n",
                  keyPath.c_str(), static_cast<int>(err));
    DebugOutput(run, line);
    return err;
  }
  platform::RegValue value;
  const uint32_t err = reg.QueryValue(root, keyPath, valueName, value, view);
  if (err != platform::ERROR_SUCCESS) return err;
  text = RegValueToText(run, value);
  if (text.size() > kRegTextMax) text.resize(kRegTextMax);
  return platform::ERROR_SUCCESS;
}

uint32_t RegDeleteValueAt(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                          const std::string& valueName) {
  return run.machine.Reg().DeleteValue(root, keyPath, valueName);
}

uint32_t RegDeleteKeyAt(SetupRun& run, platform::RegRoot root, const std::string& keyPath) {
  return run.machine.Reg().DeleteKey(root, keyPath);
}

uint32_t RegCountSubkeys(SetupRun& run, platform::RegRoot root, const std::string& keyPath) {
  uint32_t nSubKeys = 0, nValues = 0;
  if (run.machine.Reg().CountKeyContents(root, keyPath, nSubKeys, nValues) != 0) return 0;
  return nSubKeys;
}

bool RegIsKeyEmpty(SetupRun& run, platform::RegRoot root, const std::string& keyPath) {
  uint32_t nSubKeys = 0, nValues = 0;
  if (run.machine.Reg().CountKeyContents(root, keyPath, nSubKeys, nValues) != 0) return true;
  return nSubKeys == 0 && nValues == 0;
}

uint32_t RegDeleteTree(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                       bool bDeleteSelf) {
  platform::Registry& reg = run.machine.Reg();
  uint32_t err = platform::ERROR_SUCCESS;
  for (uint32_t i = RegCountSubkeys(run, root, keyPath); i-- > 0;) {
    std::string name;
    if (reg.EnumKey(root, keyPath, i, name) != platform::ERROR_SUCCESS) continue;
    err = RegDeleteTree(run, root, keyPath + "\\" + name, true);
  }
  if (bDeleteSelf) err = reg.DeleteKey(root, keyPath);
  return err;
}

uint32_t RegPruneEmptyKeys(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                           bool bIncludeSelf) {
  return PruneWhile(run, root, keyPath, bIncludeSelf, &RegIsKeyEmpty);
}

uint32_t RegPruneKeysWithoutSubkeys(SetupRun& run, platform::RegRoot root,
                                    const std::string& keyPath, bool bIncludeSelf) {
  return PruneWhile(run, root, keyPath, bIncludeSelf, &HasNoSubkeys);
}

}  // namespace tarvium
