// Values and names cross as the ANSI functions give them: strings are converted from and to the
// process code page by Windows, every other type keeps its bytes. Buffers start at a common size
// and grow while Windows answers ERROR_MORE_DATA (a value may grow between two calls).
#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/win32/windows_api.h"

namespace platform::win32 {
namespace {

constexpr DWORD kFirstValueSize = 256;
constexpr int kMaxAttempts = 16;  // doublings before a value that keeps growing is given up

HKEY RootKey(RegRoot root) {
  switch (root) {
    case RegRoot::ClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegRoot::CurrentUser:
      return HKEY_CURRENT_USER;
    case RegRoot::LocalMachine:
      return HKEY_LOCAL_MACHINE;
    case RegRoot::Users:
      return HKEY_USERS;
    case RegRoot::CurrentConfig:
      return HKEY_CURRENT_CONFIG;
  }
  return HKEY_CURRENT_USER;
}

REGSAM ViewFlag(RegView view) {
  switch (view) {
    case RegView::View32:
      return KEY_WOW64_32KEY;
    case RegView::View64:
      return KEY_WOW64_64KEY;
    case RegView::Default:
      break;
  }
  return 0;
}

uint32_t ResultOf(LSTATUS status) {
  return static_cast<uint32_t>(status);
}

// A key opened for one call and closed when the call ends. An empty path opens the root itself,
// for which Windows hands back the root's own handle: that one is never closed.
class OpenedKey {
 public:
  OpenedKey(RegRoot root, RegView view) : root_(RootKey(root)), view_(ViewFlag(view)) {}
  ~OpenedKey() {
    if (key_ && key_ != root_) RegCloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;

  LSTATUS Open(const std::string& keyPath, REGSAM access) {
    HKEY key = nullptr;
    const LSTATUS status = RegOpenKeyExA(root_, keyPath.c_str(), 0, access | view_, &key);
    if (status == ERROR_SUCCESS) key_ = key;
    return status;
  }

  LSTATUS Create(const std::string& keyPath, bool bVolatile, REGSAM access, DWORD& disposition) {
    HKEY key = nullptr;
    const DWORD options = bVolatile ? REG_OPTION_VOLATILE : REG_OPTION_NON_VOLATILE;
    const LSTATUS status = RegCreateKeyExA(root_, keyPath.c_str(), 0, nullptr, options,
                                           access | view_, nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) key_ = key;
    return status;
  }

  HKEY Handle() const { return key_; }

 private:
  HKEY root_;
  REGSAM view_;
  HKEY key_ = nullptr;
};

constexpr DWORD kFirstNameRoom = 256;  // a key name has 255 characters at most

LSTATUS ReadValue(HKEY key, const std::string& valueName, RegValue& value) {
  std::vector<uint8_t> data(kFirstValueSize);
  for (int nAttempt = 0; nAttempt < kMaxAttempts; ++nAttempt) {
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    const LSTATUS status =
        RegQueryValueExA(key, valueName.c_str(), nullptr, &type, data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      data.resize(std::max<size_t>(size, 2 * data.size()));
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    data.resize(size);
    value.dwType = type;
    value.data = std::move(data);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LSTATUS ReadSubkeyName(HKEY key, DWORD index, std::string& name) {
  std::string buffer(kFirstNameRoom, '\0');
  for (int nAttempt = 0; nAttempt < kMaxAttempts; ++nAttempt) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LSTATUS status =
        RegEnumKeyExA(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) {
      buffer.resize(2 * buffer.size());
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    buffer.resize(length);
    name = std::move(buffer);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

LSTATUS ReadIndexedValue(HKEY key, DWORD index, std::string& name, RegValue& value) {
  std::string nameBuffer(kFirstNameRoom, '\0');
  std::vector<uint8_t> data(kFirstValueSize);
  for (int nAttempt = 0; nAttempt < kMaxAttempts; ++nAttempt) {
    DWORD nameLength = static_cast<DWORD>(nameBuffer.size());
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    const LSTATUS status = RegEnumValueA(key, index, nameBuffer.data(), &nameLength, nullptr, &type,
                                         data.data(), &size);
    if (status == ERROR_MORE_DATA) {
      nameBuffer.resize(2 * nameBuffer.size());
      data.resize(std::max<size_t>(size, 2 * data.size()));
      continue;
    }
    if (status != ERROR_SUCCESS) return status;
    nameBuffer.resize(nameLength);
    data.resize(size);
    name = std::move(nameBuffer);
    value.dwType = type;
    value.data = std::move(data);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

uint32_t Win32Registry::CreateKey(RegRoot root, const std::string& keyPath, bool bVolatile,
                                  RegView view, bool* bCreated) {
  EndEnumeration();
  OpenedKey key(root, view);
  DWORD disposition = 0;
  const LSTATUS status = key.Create(keyPath, bVolatile, KEY_QUERY_VALUE, disposition);
  if (bCreated) *bCreated = status == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
  return ResultOf(status);
}

uint32_t Win32Registry::OpenKey(RegRoot root, const std::string& keyPath, RegView view) {
  OpenedKey key(root, view);
  return ResultOf(key.Open(keyPath, KEY_QUERY_VALUE));
}

uint32_t Win32Registry::DeleteKey(RegRoot root, const std::string& keyPath, RegView view) {
  EndEnumeration();
  // RegDeleteKeyExA with an empty subkey would delete the key it is given: here, a root.
  if (keyPath.empty()) return ERROR_ACCESS_DENIED;
  return ResultOf(RegDeleteKeyExA(RootKey(root), keyPath.c_str(), ViewFlag(view), 0));
}

// RegDeleteTreeA takes no view, so the key is opened in the view first and emptied through its
// handle (whose subkeys lie in the same view); then the key itself goes, again in the view.
uint32_t Win32Registry::DeleteTree(RegRoot root, const std::string& keyPath, RegView view) {
  EndEnumeration();
  // An empty path would empty the whole root (a user's hive, the machine's): refused, as DeleteKey
  // refuses to delete a root.
  if (keyPath.find_first_not_of('\\') == std::string::npos) return ERROR_ACCESS_DENIED;
  OpenedKey key(root, view);
  constexpr REGSAM kEmptyingAccess =
      DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE;
  if (const LSTATUS status = key.Open(keyPath, kEmptyingAccess)) return ResultOf(status);
  if (const LSTATUS status = RegDeleteTreeA(key.Handle(), nullptr)) return ResultOf(status);
  return ResultOf(RegDeleteKeyExA(RootKey(root), keyPath.c_str(), ViewFlag(view), 0));
}

uint32_t Win32Registry::QueryValue(RegRoot root, const std::string& keyPath,
                                   const std::string& valueName, RegValue& value, RegView view) {
  OpenedKey key(root, view);
  if (const LSTATUS status = key.Open(keyPath, KEY_QUERY_VALUE)) return ResultOf(status);
  return ResultOf(ReadValue(key.Handle(), valueName, value));
}

uint32_t Win32Registry::SetValue(RegRoot root, const std::string& keyPath,
                                 const std::string& valueName, const RegValue& value,
                                 RegView view) {
  EndEnumeration();
  OpenedKey key(root, view);
  if (const LSTATUS status = key.Open(keyPath, KEY_SET_VALUE)) return ResultOf(status);
  return ResultOf(RegSetValueExA(key.Handle(), valueName.c_str(), 0, value.dwType,
                                 value.data.data(), static_cast<DWORD>(value.data.size())));
}

uint32_t Win32Registry::DeleteValue(RegRoot root, const std::string& keyPath,
                                    const std::string& valueName, RegView view) {
  EndEnumeration();
  OpenedKey key(root, view);
  if (const LSTATUS status = key.Open(keyPath, KEY_SET_VALUE)) return ResultOf(status);
  return ResultOf(RegDeleteValueA(key.Handle(), valueName.c_str()));
}

Win32Registry::~Win32Registry() {
  CloseEnumerated();
}

long Win32Registry::OpenEnumerated(RegRoot root, const std::string& keyPath, RegView view) {
  if (hEnumerated_ && enumeratedRoot_ == root && enumeratedView_ == view &&
      enumeratedPath_ == keyPath)
    return ERROR_SUCCESS;
  CloseEnumerated();
  HKEY key = nullptr;
  const LSTATUS status =
      RegOpenKeyExA(RootKey(root), keyPath.c_str(), 0,
                    KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | ViewFlag(view), &key);
  if (status != ERROR_SUCCESS) return status;
  hEnumerated_ = key;
  enumeratedRoot_ = root;
  enumeratedView_ = view;
  enumeratedPath_ = keyPath;
  return ERROR_SUCCESS;
}

void Win32Registry::CloseEnumerated() {
  HKEY key = static_cast<HKEY>(hEnumerated_);
  if (key && key != RootKey(enumeratedRoot_)) RegCloseKey(key);
  hEnumerated_ = nullptr;
}

// Reads through the kept handle; a key deleted behind it (by another program) is opened again by
// its path, so that it answers as a key that is not there, or as the key now in its place.
template <class Read>
uint32_t Win32Registry::ReadEnumerated(RegRoot root, const std::string& keyPath, RegView view,
                                       Read read) {
  const std::lock_guard lock(mutex_);
  for (int nAttempt = 0;; ++nAttempt) {
    if (const LSTATUS status = OpenEnumerated(root, keyPath, view)) return ResultOf(status);
    const LSTATUS status = read(static_cast<HKEY>(hEnumerated_));
    if (status != ERROR_KEY_DELETED || nAttempt > 0) return ResultOf(status);
    CloseEnumerated();
  }
}

void Win32Registry::EndEnumeration() {
  const std::lock_guard lock(mutex_);
  CloseEnumerated();
}

uint32_t Win32Registry::EnumKey(RegRoot root, const std::string& keyPath, uint32_t index,
                                std::string& name, RegView view) {
  return ReadEnumerated(root, keyPath, view,
                        [&](HKEY key) { return ReadSubkeyName(key, index, name); });
}

uint32_t Win32Registry::EnumValue(RegRoot root, const std::string& keyPath, uint32_t index,
                                  std::string& name, RegValue& value, RegView view) {
  return ReadEnumerated(root, keyPath, view,
                        [&](HKEY key) { return ReadIndexedValue(key, index, name, value); });
}

uint32_t Win32Registry::QueryInfoKey(RegRoot root, const std::string& keyPath, RegKeyInfo& info,
                                     RegView view) {
  OpenedKey key(root, view);
  if (const LSTATUS status = key.Open(keyPath, KEY_QUERY_VALUE)) return ResultOf(status);
  DWORD nSubKeys = 0, nMaxSubKeyLen = 0, nValues = 0, nMaxValueNameLen = 0, nMaxValueLen = 0;
  FILETIME lastWrite{};
  const LSTATUS status =
      RegQueryInfoKeyA(key.Handle(), nullptr, nullptr, nullptr, &nSubKeys, &nMaxSubKeyLen, nullptr,
                       &nValues, &nMaxValueNameLen, &nMaxValueLen, nullptr, &lastWrite);
  if (status != ERROR_SUCCESS) return ResultOf(status);
  info.nSubKeys = nSubKeys;
  info.nValues = nValues;
  info.nMaxSubKeyLen = nMaxSubKeyLen;
  info.nMaxValueNameLen = nMaxValueNameLen;
  info.nMaxValueLen = nMaxValueLen;
  info.ftLastWriteTime = FileTimeValue(lastWrite);
  return ERROR_SUCCESS;
}

}  // namespace platform::win32
