// Value helpers of the account store: typed values of HKEY_LOCAL_MACHINE keys read and written as
// the account records need them, with a missing value read as empty.
#include "platform/emulated/accounts/sam_store.h"

#include <algorithm>

#include "platform/ansi_case.h"
#include "platform/multi_sz.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

void SortNoCase(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return AnsiUpper(a) < AnsiUpper(b); });
}

uint32_t EndOfEnumeration(uint32_t err) {
  return err == ERROR_NO_MORE_ITEMS || err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
}

}  // namespace

uint32_t SetString(Registry& registry, const std::string& key, const std::string& name,
                   const std::string& text) {
  RegValue value{REG_SZ, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  return registry.SetValue(RegRoot::LocalMachine, key, name, value);
}

uint32_t SetDword(Registry& registry, const std::string& key, const std::string& name,
                  uint32_t dw) {
  RegValue value{REG_DWORD, {}};
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(dw >> (8 * i)));
  return registry.SetValue(RegRoot::LocalMachine, key, name, value);
}

uint32_t SetStrings(Registry& registry, const std::string& key, const std::string& name,
                    const std::vector<std::string>& strings) {
  if (strings.empty()) {
    const uint32_t err = registry.DeleteValue(RegRoot::LocalMachine, key, name);
    return err == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : err;
  }
  return registry.SetValue(RegRoot::LocalMachine, key, name,
                           RegValue{REG_MULTI_SZ, EncodeMultiSz(strings)});
}

std::string ReadString(Registry& registry, const std::string& key, const std::string& name) {
  RegValue value;
  if (registry.QueryValue(RegRoot::LocalMachine, key, name, value) != ERROR_SUCCESS) return "";
  const std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

uint32_t ReadDword(Registry& registry, const std::string& key, const std::string& name,
                   uint32_t dwDefault) {
  RegValue value;
  if (registry.QueryValue(RegRoot::LocalMachine, key, name, value) != ERROR_SUCCESS ||
      value.dwType != REG_DWORD || value.data.size() != 4)
    return dwDefault;
  uint32_t dw = 0;
  for (int i = 3; i >= 0; --i) dw = (dw << 8) | value.data[static_cast<size_t>(i)];
  return dw;
}

bool HasValue(Registry& registry, const std::string& key, const std::string& name) {
  RegValue value;
  return registry.QueryValue(RegRoot::LocalMachine, key, name, value) == ERROR_SUCCESS;
}

std::vector<std::string> ReadStrings(Registry& registry, const std::string& key,
                                     const std::string& name) {
  RegValue value;
  if (registry.QueryValue(RegRoot::LocalMachine, key, name, value) != ERROR_SUCCESS) return {};
  return DecodeMultiSz(value.data);
}

uint32_t EnumSubkeys(Registry& registry, const std::string& key, std::vector<std::string>& names) {
  names.clear();
  std::string name;
  uint32_t err = ERROR_SUCCESS;
  for (uint32_t i = 0; (err = registry.EnumKey(RegRoot::LocalMachine, key, i, name)) == 0; ++i)
    names.push_back(name);
  SortNoCase(names);
  return EndOfEnumeration(err);
}

uint32_t EnumValueNames(Registry& registry, const std::string& key,
                        std::vector<std::string>& names) {
  names.clear();
  std::string name;
  RegValue value;
  uint32_t err = ERROR_SUCCESS;
  for (uint32_t i = 0; (err = registry.EnumValue(RegRoot::LocalMachine, key, i, name, value)) == 0;
       ++i)
    names.push_back(name);
  SortNoCase(names);
  return EndOfEnumeration(err);
}

bool KeyExists(Registry& registry, const std::string& key) {
  return registry.OpenKey(RegRoot::LocalMachine, key) == ERROR_SUCCESS;
}

}  // namespace platform::emulated
