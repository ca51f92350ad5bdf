// The registry as the engine sees it: Windows roots, keys and typed values, Win32 error codes.
// Key paths are relative to a root and use backslashes ("Software\\Vendor\\Product"); names are
// compared without regard to case and keep the case they were created with.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// Which half of the registry a 64-bit machine shows: Default is the native (64-bit) view for the
// engine; View32 redirects the redirected keys to WOW6432Node as KEY_WOW64_32KEY does.
enum class RegView { Default, View32, View64 };

inline constexpr uint32_t REG_NONE = 0;
inline constexpr uint32_t REG_SZ = 1;
inline constexpr uint32_t REG_EXPAND_SZ = 2;
inline constexpr uint32_t REG_BINARY = 3;
inline constexpr uint32_t REG_DWORD = 4;
inline constexpr uint32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr uint32_t REG_LINK = 6;
inline constexpr uint32_t REG_MULTI_SZ = 7;
inline constexpr uint32_t REG_QWORD = 11;

struct RegValue {
  uint32_t dwType = REG_NONE;
  std::vector<uint8_t> data;  // bytes exactly as stored (strings: 8-bit text with its zero byte)
};

struct RegKeyInfo {
  uint32_t nSubKeys = 0;
  uint32_t nValues = 0;
  uint32_t nMaxSubKeyLen = 0;
  uint32_t nMaxValueNameLen = 0;
  uint32_t nMaxValueLen = 0;
  uint64_t ftLastWriteTime = 0;  // FILETIME: 100 ns since 1601-01-01 UTC
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Each returns ERROR_SUCCESS (0) or the Win32 error Windows would return.
  // bCreated (when given) tells whether the key was new (REG_CREATED_NEW_KEY).
  virtual uint32_t CreateKey(RegRoot root, const std::string& keyPath, bool bVolatile = false,
                             RegView view = RegView::Default, bool* bCreated = nullptr) = 0;
  virtual uint32_t OpenKey(RegRoot root, const std::string& keyPath,
                           RegView view = RegView::Default) = 0;  // ERROR_FILE_NOT_FOUND if absent
  virtual uint32_t DeleteKey(RegRoot root, const std::string& keyPath,
                             RegView view = RegView::Default) = 0;  // fails if it has subkeys
  virtual uint32_t DeleteTree(RegRoot root, const std::string& keyPath,
                              RegView view = RegView::Default) = 0;
  virtual uint32_t QueryValue(RegRoot root, const std::string& keyPath,
                              const std::string& valueName, RegValue& value,
                              RegView view = RegView::Default) = 0;
  virtual uint32_t SetValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                            const RegValue& value,
                            RegView view = RegView::Default) = 0;  // key must exist
  virtual uint32_t DeleteValue(RegRoot root, const std::string& keyPath,
                               const std::string& valueName, RegView view = RegView::Default) = 0;
  // Whether the key's access rights refuse the caller changes of it (making or deleting it,
  // setting or deleting its values): ERROR_ACCESS_DENIED, else ERROR_SUCCESS. Changes nothing;
  // the key need not exist. A registry that cannot tell without writing says they are allowed.
  virtual uint32_t CheckWriteAccess(RegRoot root, const std::string& keyPath,
                                    RegView view = RegView::Default) {
    (void)root, (void)keyPath, (void)view;
    return 0;
  }
  // Whether the registry keeps the key whatever the caller's rights (a key Windows owns): deleting
  // it, or with bTree the keys below it, gives ERROR_ACCESS_DENIED, else ERROR_SUCCESS. Changes
  // nothing; the key need not exist. A registry that cannot tell without deleting says allowed.
  virtual uint32_t CheckDeletion(RegRoot root, const std::string& keyPath, bool bTree,
                                 RegView view = RegView::Default) {
    (void)root, (void)keyPath, (void)bTree, (void)view;
    return 0;
  }
  // Enumeration in a stable order; ERROR_NO_MORE_ITEMS past the end.
  virtual uint32_t EnumKey(RegRoot root, const std::string& keyPath, uint32_t index,
                           std::string& name, RegView view = RegView::Default) = 0;
  virtual uint32_t EnumValue(RegRoot root, const std::string& keyPath, uint32_t index,
                             std::string& name, RegValue& value,
                             RegView view = RegView::Default) = 0;
  virtual uint32_t QueryInfoKey(RegRoot root, const std::string& keyPath, RegKeyInfo& info,
                                RegView view = RegView::Default) = 0;
  // The numbers of subkeys and values alone, which a registry may count faster than the whole of
  // QueryInfoKey.
  virtual uint32_t CountKeyContents(RegRoot root, const std::string& keyPath, uint32_t& nSubKeys,
                                    uint32_t& nValues, RegView view = RegView::Default) {
    RegKeyInfo info;
    const uint32_t dwError = QueryInfoKey(root, keyPath, info, view);
    nSubKeys = info.nSubKeys;
    nValues = info.nValues;
    return dwError;
  }
  // Runs body, whose calls then form one transaction where the registry has them: all of its
  // writes stay when it returns ERROR_SUCCESS, none otherwise, and a killed process leaves all
  // or none. A call failing inside body fails alone. Without transactions body just runs.
  virtual uint32_t WriteAsOne(const std::function<uint32_t()>& body) { return body(); }
};

}  // namespace platform
