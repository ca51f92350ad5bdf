#include "engine/registry_text.h"

#include <array>
#include <cstdio>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "platform/win_error.h"

namespace tarvium {
namespace {

struct RootRow {
  std::string_view longName;
  std::string_view shortName;
  platform::RegRoot root;
  bool bSupported;
};

constexpr std::array<RootRow, 7> kRoots = {{
    {"HKEY_CLASSES_ROOT", "HKCR", platform::RegRoot::ClassesRoot, true},
    {"HKEY_CURRENT_USER", "HKCU", platform::RegRoot::CurrentUser, true},
    {"HKEY_LOCAL_MACHINE", "HKLM", platform::RegRoot::LocalMachine, true},
    {"HKEY_USERS", "HKU", platform::RegRoot::Users, true},
    {"HKEY_PERFORMANCE_DATA", "HKPD", platform::RegRoot::LocalMachine, false},
    {"HKEY_CURRENT_CONFIG", "HKCC", platform::RegRoot::CurrentConfig, true},
    {"HKEY_DYN_DATA", "HKDD", platform::RegRoot::LocalMachine, false},
}};

std::string TextUpToZero(const std::vector<uint8_t>& data) {
  std::string text(data.begin(), data.end());
  return text.substr(0, text.find('\0'));
}

std::string HexBytes(const std::vector<uint8_t>& data) {
  std::string text;
  text.reserve(data.size() * 3);
  char digits[4];
  for (uint8_t byte : data) {
    std::snprintf(digits, sizeof digits, "%02x,", byte);
    text += digits;
  }
  if (!text.empty()) text.pop_back();
  return text;
}

uint64_t LittleEndian(const std::vector<uint8_t>& data, size_t nBytes) {
  uint64_t number = 0;
  for (size_t i = 0; i < nBytes && i < data.size(); ++i)
    number |= static_cast<uint64_t>(data[i]) << (8 * i);
  return number;
}

// Every NUL but the final two becomes a TAB.
std::string MultiText(const std::vector<uint8_t>& data) {
  std::string text(data.begin(), data.end());
  size_t nEnd = text.size();
  for (int i = 0; i < 2 && nEnd > 0 && text[nEnd - 1] == '\0'; ++i) --nEnd;
  text.resize(nEnd);
  for (char& c : text)
    if (c == '\0') c = '\t';
  return text;
}

}  // namespace

RootName ParseRootName(std::string_view text, platform::RegRoot& root) {
  for (const RootRow& row : kRoots) {
    if (platform::AnsiEqualNoCase(text, row.longName) ||
        platform::AnsiEqualNoCase(text, row.shortName)) {
      root = row.root;
      return row.bSupported ? RootName::Supported : RootName::Unsupported;
    }
  }
  return RootName::Unknown;
}

std::string RegValueToText(SetupRun& run, const platform::RegValue& value) {
  switch (value.dwType) {
    case platform::REG_EXPAND_SZ:
      return run.machine.Env().ExpandEnvironmentStrings(TextUpToZero(value.data));
    case platform::REG_BINARY:
      return HexBytes(value.data);
    case platform::REG_DWORD:
      return std::to_string(static_cast<uint32_t>(LittleEndian(value.data, 4)));
    case platform::REG_MULTI_SZ:
      return MultiText(value.data);
    default:
      return TextUpToZero(value.data);
  }
}

uint32_t RegReadText(SetupRun& run, platform::RegRoot root, const std::string& keyPath,
                     const std::string& valueName, std::string& text) {
  text.clear();
  platform::RegValue value;
  const uint32_t err = run.machine.Reg().QueryValue(root, keyPath, valueName, value);
  if (err == platform::ERROR_FILE_NOT_FOUND && valueName.empty() &&
      run.machine.Reg().OpenKey(root, keyPath) == platform::ERROR_SUCCESS)
    return platform::ERROR_SUCCESS;
  if (err != platform::ERROR_SUCCESS) return err;
  text = RegValueToText(run, value);
  if (text.size() > kRegTextMax) text.resize(kRegTextMax);
  return platform::ERROR_SUCCESS;
}

}  // namespace tarvium
