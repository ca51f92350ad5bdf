// Value conversions of the spooler's registry state. Strings are stored as Windows stores them:
// 8-bit text with its zero byte, lists as zero-separated names ending with an empty one.
#include "platform/spooler_store.h"

#include "platform/win_error.h"

namespace platform {

std::vector<std::string> SplitPortList(const std::string& ports) {
  std::vector<std::string> names;
  size_t nStart = 0;
  while (nStart <= ports.size()) {
    size_t nEnd = ports.find(',', nStart);
    if (nEnd == std::string::npos) nEnd = ports.size();
    std::string name = ports.substr(nStart, nEnd - nStart);
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (!name.empty()) names.push_back(name);
    nStart = nEnd + 1;
  }
  return names;
}

bool SpoolerStore::KeyExists(RegRoot root, const std::string& key) {
  return registry_.OpenKey(root, key) == ERROR_SUCCESS;
}

std::string SpoolerStore::Text(RegRoot root, const std::string& key, const std::string& name) {
  RegValue value;
  if (registry_.QueryValue(root, key, name, value) != ERROR_SUCCESS) return "";
  const std::string text(value.data.begin(), value.data.end());
  return text.substr(0, text.find('\0'));
}

uint32_t SpoolerStore::Dword(RegRoot root, const std::string& key, const std::string& name) {
  RegValue value;
  if (registry_.QueryValue(root, key, name, value) != ERROR_SUCCESS || value.data.size() < 4)
    return 0;
  uint32_t dw = 0;
  for (int i = 3; i >= 0; --i) dw = (dw << 8) | value.data[static_cast<size_t>(i)];
  return dw;
}

std::vector<std::string> SpoolerStore::List(RegRoot root, const std::string& key,
                                            const std::string& name) {
  RegValue value;
  std::vector<std::string> items;
  if (registry_.QueryValue(root, key, name, value) != ERROR_SUCCESS) return items;
  std::string item;
  for (uint8_t b : value.data) {
    if (b != 0) {
      item += static_cast<char>(b);
      continue;
    }
    if (item.empty()) break;
    items.push_back(item);
    item.clear();
  }
  return items;
}

uint32_t SpoolerStore::SetText(RegRoot root, const std::string& key, const std::string& name,
                               const std::string& text) {
  RegValue value{REG_SZ, std::vector<uint8_t>(text.begin(), text.end())};
  value.data.push_back(0);
  return registry_.SetValue(root, key, name, value);
}

uint32_t SpoolerStore::SetDword(RegRoot root, const std::string& key, const std::string& name,
                                uint32_t dw) {
  RegValue value{REG_DWORD, {}};
  for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<uint8_t>(dw >> (8 * i)));
  return registry_.SetValue(root, key, name, value);
}

uint32_t SpoolerStore::SetList(RegRoot root, const std::string& key, const std::string& name,
                               const std::vector<std::string>& items) {
  RegValue value{REG_MULTI_SZ, {}};
  for (const std::string& item : items) {
    value.data.insert(value.data.end(), item.begin(), item.end());
    value.data.push_back(0);
  }
  value.data.push_back(0);
  return registry_.SetValue(root, key, name, value);
}

std::vector<std::string> SpoolerStore::Subkeys(RegRoot root, const std::string& key) {
  std::vector<std::string> names;
  std::string name;
  for (uint32_t i = 0; registry_.EnumKey(root, key, i, name) == ERROR_SUCCESS; ++i)
    names.push_back(name);
  return names;
}

std::vector<std::string> SpoolerStore::ValueNames(RegRoot root, const std::string& key) {
  std::vector<std::string> names;
  std::string name;
  RegValue value;
  for (uint32_t i = 0; registry_.EnumValue(root, key, i, name, value) == ERROR_SUCCESS; ++i)
    names.push_back(name);
  return names;
}

}  // namespace platform
