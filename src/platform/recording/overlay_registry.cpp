// The overlay registry: where a key stands (walked from its root, so that a deleted or new
// ancestor decides for everything below it), the changes laid into the overlay and logged, and the
// merged enumerations.
#include "platform/recording/overlay_registry.h"

#include <algorithm>
#include <unordered_set>

#include "platform/ansi_case.h"
#include "platform/reg_root_names.h"
#include "platform/reg_value_text.h"
#include "platform/win_error.h"

namespace platform {

namespace {

std::string TrimmedPath(const std::string& keyPath) {
  const size_t first = keyPath.find_first_not_of('\\');
  if (first == std::string::npos) return {};
  return keyPath.substr(first, keyPath.find_last_not_of('\\') - first + 1);
}

std::string ParentPath(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string LastName(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The overlay keeps each root of each view apart: "<root><view>\PATH".
std::string RootId(RegRoot root, RegView view) {
  return {static_cast<char>('0' + static_cast<int>(root)), view == RegView::View32 ? 'W' : 'N'};
}

}  // namespace

OverlayRegistry::OverlayRegistry(Registry& wrapped, Clock& clock, ChangeLog& changes)
    : m_wrapped(wrapped), m_clock(clock), m_changes(changes) {}

// --- Where a key stands ------------------------------------------------------------------------

OverlayRegistry::KeyState OverlayRegistry::Locate(RegRoot root, const std::string& keyPath,
                                                  RegView view) {
  KeyState key;
  key.root = root;
  key.view = view;
  key.path = TrimmedPath(keyPath);
  key.id = RootId(root, view);
  bool bWrappedShows = true;
  if (key.path.empty()) {
    auto it = m_keys.find(key.id);
    key.pKey = it == m_keys.end() ? nullptr : &it->second;
  }
  for (size_t start = 0; start < key.path.size();) {
    const size_t end = std::min(key.path.find('\\', start), key.path.size());
    key.id += '\\';
    key.id += AnsiUpper(std::string_view(key.path).substr(start, end - start));
    auto it = m_keys.find(key.id);
    key.pKey = it == m_keys.end() ? nullptr : &it->second;
    if (key.pKey && key.pKey->bDeleted) return key;
    if (key.pKey && key.pKey->bHidesWrapped) bWrappedShows = false;
    if (!key.pKey && !bWrappedShows) return key;
    start = end + 1;
  }
  key.bWrappedContent = bWrappedShows && m_wrapped.OpenKey(root, key.path, view) == ERROR_SUCCESS;
  key.bExists = key.pKey != nullptr || key.bWrappedContent;
  return key;
}

std::string OverlayRegistry::FullName(const KeyState& key) const {
  std::string name(RegRootName(key.root));
  if (!key.path.empty()) name += "\\" + key.path;
  return name;
}

// --- Changes -----------------------------------------------------------------------------------

OverlayRegistry::OverlayKey& OverlayRegistry::EntryFor(KeyState& key) {
  if (!key.pKey) {
    key.pKey = &m_keys[key.id];
    key.pKey->name = LastName(key.path);
  }
  return *key.pKey;
}

void OverlayRegistry::AddChild(KeyState& parent, const std::string& name) {
  const std::string id = parent.id + "\\" + AnsiUpper(name);
  OverlayKey& child = m_keys[id];
  child = OverlayKey{};
  child.name = name;
  child.bHidesWrapped = true;
  child.ftLastWriteTime = m_clock.GetSystemTimeAsFileTime();
  EntryFor(parent).children.insert(id);
  Changed();
}

void OverlayRegistry::MarkDeleted(KeyState& key) {
  const std::string below = key.id + "\\";
  auto it = m_keys.lower_bound(below);
  while (it != m_keys.end() && it->first.compare(0, below.size(), below) == 0)
    it = m_keys.erase(it);
  OverlayKey& entry = EntryFor(key);
  entry.bDeleted = true;
  entry.bHidesWrapped = true;
  entry.values.clear();
  entry.children.clear();
  KeyState parent = Locate(key.root, ParentPath(key.path), key.view);
  EntryFor(parent).children.insert(key.id);
  Changed();
}

// A wrapped key that shows through is deleted only when the wrapped registry would delete it.
uint32_t OverlayRegistry::CheckWrappedDeletion(const KeyState& key, bool bTree) {
  return key.bWrappedContent ? m_wrapped.CheckDeletion(key.root, key.path, bTree, key.view)
                             : ERROR_SUCCESS;
}

uint32_t OverlayRegistry::CreateKey(RegRoot root, const std::string& keyPath, bool bVolatile,
                                    RegView view, bool* bCreated) {
  if (bCreated) *bCreated = false;
  if (uint32_t dwError = m_wrapped.CheckWriteAccess(root, keyPath, view)) return dwError;
  KeyState key = Locate(root, keyPath, view);
  if (key.bExists) return ERROR_SUCCESS;
  // Every key the run creates is a change of its own, parents first, as a directory's are.
  const std::string detail =
      std::string(bVolatile ? "volatile" : "") + (view == RegView::View32 ? " 32-bit view" : "");
  KeyState parent = Locate(root, "", view);
  for (size_t start = 0; start < key.path.size();) {
    const size_t end = std::min(key.path.find('\\', start), key.path.size());
    const std::string pathSoFar = key.path.substr(0, end);
    KeyState step = Locate(root, pathSoFar, view);
    if (!step.bExists) {
      AddChild(parent, key.path.substr(start, end - start));
      step = Locate(root, pathSoFar, view);
      m_changes.Add(ChangeKind::KeyCreated, FullName(step), detail);
    }
    parent = std::move(step);
    start = end + 1;
  }
  if (bCreated) *bCreated = true;
  return ERROR_SUCCESS;
}

uint32_t OverlayRegistry::OpenKey(RegRoot root, const std::string& keyPath, RegView view) {
  return Locate(root, keyPath, view).bExists ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

uint32_t OverlayRegistry::DeleteKey(RegRoot root, const std::string& keyPath, RegView view) {
  if (uint32_t dwError = m_wrapped.CheckWriteAccess(root, keyPath, view)) return dwError;
  KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  if (key.path.empty() || !SubKeys(key).empty()) return ERROR_ACCESS_DENIED;
  if (uint32_t dwError = CheckWrappedDeletion(key, false)) return dwError;
  MarkDeleted(key);
  m_changes.Add(ChangeKind::KeyDeleted, FullName(key),
                view == RegView::View32 ? "32-bit view" : "");
  return ERROR_SUCCESS;
}

uint32_t OverlayRegistry::DeleteTree(RegRoot root, const std::string& keyPath, RegView view) {
  if (uint32_t dwError = m_wrapped.CheckWriteAccess(root, keyPath, view)) return dwError;
  KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  if (key.path.empty()) return ERROR_ACCESS_DENIED;
  if (uint32_t dwError = CheckWrappedDeletion(key, true)) return dwError;
  MarkDeleted(key);
  m_changes.Add(ChangeKind::KeyDeleted, FullName(key),
                view == RegView::View32 ? "tree, 32-bit view" : "tree");
  return ERROR_SUCCESS;
}

uint32_t OverlayRegistry::SetValue(RegRoot root, const std::string& keyPath,
                                   const std::string& valueName, const RegValue& value,
                                   RegView view) {
  if (uint32_t dwError = m_wrapped.CheckWriteAccess(root, keyPath, view)) return dwError;
  KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  OverlayKey& entry = EntryFor(key);
  entry.values[AnsiUpper(valueName)] = {valueName, false, value, ++m_nValueOrder};
  entry.ftLastWriteTime = m_clock.GetSystemTimeAsFileTime();
  Changed();
  m_changes.Add(ChangeKind::ValueSet, FullName(key), valueName + "=" + RegValueText(value));
  return ERROR_SUCCESS;
}

uint32_t OverlayRegistry::DeleteValue(RegRoot root, const std::string& keyPath,
                                      const std::string& valueName, RegView view) {
  if (uint32_t dwError = m_wrapped.CheckWriteAccess(root, keyPath, view)) return dwError;
  RegValue value;
  if (uint32_t dwError = QueryValue(root, keyPath, valueName, value, view)) return dwError;
  KeyState key = Locate(root, keyPath, view);
  OverlayKey& entry = EntryFor(key);
  entry.values[AnsiUpper(valueName)] = {valueName, true, {}, ++m_nValueOrder};
  entry.ftLastWriteTime = m_clock.GetSystemTimeAsFileTime();
  Changed();
  m_changes.Add(ChangeKind::ValueDeleted, FullName(key), valueName);
  return ERROR_SUCCESS;
}

// --- Questions ---------------------------------------------------------------------------------

uint32_t OverlayRegistry::QueryValue(RegRoot root, const std::string& keyPath,
                                     const std::string& valueName, RegValue& value, RegView view) {
  const KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  if (key.pKey) {
    auto it = key.pKey->values.find(AnsiUpper(valueName));
    if (it != key.pKey->values.end()) {
      if (it->second.bDeleted) return ERROR_FILE_NOT_FOUND;
      value = it->second.value;
      return ERROR_SUCCESS;
    }
  }
  if (!key.bWrappedContent) return ERROR_FILE_NOT_FOUND;
  return m_wrapped.QueryValue(root, key.path, valueName, value, view);
}

const std::vector<std::string>& OverlayRegistry::SubKeys(const KeyState& key) {
  if (m_subKeysId == key.id && m_nSubKeysGeneration == m_nGeneration) return m_subKeys;
  std::vector<std::string> names;
  std::string name;
  for (uint32_t index = 0;
       key.bWrappedContent && m_wrapped.EnumKey(key.root, key.path, index, name, key.view) == 0;
       ++index)
    names.push_back(name);
  if (key.pKey) {
    std::unordered_set<std::string> listed;
    std::vector<std::string> merged;
    for (const std::string& wrappedName : names) {
      const std::string id = key.id + "\\" + AnsiUpper(wrappedName);
      listed.insert(id);
      auto it = m_keys.find(id);
      if (it == m_keys.end())
        merged.push_back(wrappedName);
      else if (!it->second.bDeleted)
        merged.push_back(it->second.name);
    }
    for (const std::string& id : key.pKey->children) {
      auto it = m_keys.find(id);
      if (!listed.count(id) && it != m_keys.end() && !it->second.bDeleted)
        merged.push_back(it->second.name);
    }
    std::sort(merged.begin(), merged.end(), [](const std::string& a, const std::string& b) {
      return AnsiCompareNoCase(a, b) < 0;
    });
    names = std::move(merged);
  }
  m_subKeys = std::move(names);
  m_subKeysId = key.id;
  m_nSubKeysGeneration = m_nGeneration;
  return m_subKeys;
}

const OverlayRegistry::ValueList& OverlayRegistry::Values(const KeyState& key) {
  if (m_valuesId == key.id && m_nValuesGeneration == m_nGeneration) return m_values;
  ValueList values;
  std::string name;
  RegValue value;
  for (uint32_t index = 0; key.bWrappedContent && m_wrapped.EnumValue(key.root, key.path, index,
                                                                      name, value, key.view) == 0;
       ++index) {
    const OverlayValue* pChanged = nullptr;
    if (key.pKey) {
      auto it = key.pKey->values.find(AnsiUpper(name));
      if (it != key.pKey->values.end()) pChanged = &it->second;
    }
    if (!pChanged)
      values.emplace_back(name, value);
    else if (!pChanged->bDeleted)
      values.emplace_back(pChanged->name, pChanged->value);
  }
  if (key.pKey) {
    std::vector<const OverlayValue*> added;
    for (const auto& [upperName, changed] : key.pKey->values) {
      if (changed.bDeleted) continue;
      RegValue wrappedValue;
      const bool bWrapped =
          key.bWrappedContent &&
          m_wrapped.QueryValue(key.root, key.path, changed.name, wrappedValue, key.view) == 0;
      if (!bWrapped) added.push_back(&changed);
    }
    std::sort(added.begin(), added.end(),
              [](const OverlayValue* a, const OverlayValue* b) { return a->nOrder < b->nOrder; });
    for (const OverlayValue* pAdded : added) values.emplace_back(pAdded->name, pAdded->value);
  }
  m_values = std::move(values);
  m_valuesId = key.id;
  m_nValuesGeneration = m_nGeneration;
  return m_values;
}

uint32_t OverlayRegistry::EnumKey(RegRoot root, const std::string& keyPath, uint32_t index,
                                  std::string& name, RegView view) {
  const KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  if (!key.pKey) return m_wrapped.EnumKey(root, key.path, index, name, view);
  const std::vector<std::string>& names = SubKeys(key);
  if (index >= names.size()) return ERROR_NO_MORE_ITEMS;
  name = names[index];
  return ERROR_SUCCESS;
}

uint32_t OverlayRegistry::EnumValue(RegRoot root, const std::string& keyPath, uint32_t index,
                                    std::string& name, RegValue& value, RegView view) {
  const KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  if (!key.pKey) return m_wrapped.EnumValue(root, key.path, index, name, value, view);
  const ValueList& values = Values(key);
  if (index >= values.size()) return ERROR_NO_MORE_ITEMS;
  name = values[index].first;
  value = values[index].second;
  return ERROR_SUCCESS;
}

uint32_t OverlayRegistry::QueryInfoKey(RegRoot root, const std::string& keyPath, RegKeyInfo& info,
                                       RegView view) {
  const KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  if (!key.pKey) return m_wrapped.QueryInfoKey(root, key.path, info, view);
  info = {};
  if (key.bWrappedContent)
    if (uint32_t dwError = m_wrapped.QueryInfoKey(root, key.path, info, view)) return dwError;
  const std::vector<std::string>& names = SubKeys(key);
  info.nSubKeys = static_cast<uint32_t>(names.size());
  info.nMaxSubKeyLen = 0;
  for (const std::string& name : names)
    info.nMaxSubKeyLen = std::max(info.nMaxSubKeyLen, static_cast<uint32_t>(name.size()));
  const ValueList& values = Values(key);
  info.nValues = static_cast<uint32_t>(values.size());
  info.nMaxValueNameLen = info.nMaxValueLen = 0;
  for (const auto& [name, value] : values) {
    info.nMaxValueNameLen = std::max(info.nMaxValueNameLen, static_cast<uint32_t>(name.size()));
    info.nMaxValueLen = std::max(info.nMaxValueLen, static_cast<uint32_t>(value.data.size()));
  }
  info.ftLastWriteTime = std::max(info.ftLastWriteTime, key.pKey->ftLastWriteTime);
  return ERROR_SUCCESS;
}

uint32_t OverlayRegistry::CountKeyContents(RegRoot root, const std::string& keyPath,
                                           uint32_t& nSubKeys, uint32_t& nValues, RegView view) {
  nSubKeys = nValues = 0;
  const KeyState key = Locate(root, keyPath, view);
  if (!key.bExists) return ERROR_FILE_NOT_FOUND;
  if (!key.pKey) return m_wrapped.CountKeyContents(root, key.path, nSubKeys, nValues, view);
  nSubKeys = static_cast<uint32_t>(SubKeys(key).size());
  nValues = static_cast<uint32_t>(Values(key).size());
  return ERROR_SUCCESS;
}

}  // namespace platform
