// The registry of the running Windows: each call opens the key it names in the asked view, does
// its one operation through the ANSI registry functions and closes the key again. Only the key
// being enumerated stays open from one EnumKey or EnumValue call to the next of the same key, so
// that listing a key of thousands of entries does not open it thousands of times; any write or
// delete closes it first. The engine is a 64-bit program: the default view is the native one.
//
// WriteAsOne keeps the base behaviour (the body just runs). The kernel transaction manager could
// group registry writes (RegCreateKeyTransactedA and handles opened in a transaction), but Windows
// marks it as a feature that may go away and advises against new use of it, a transacted key that
// another program writes at the same time fails with ERROR_TRANSACTIONAL_CONFLICT instead of
// waiting, RegDeleteTreeA has no transacted form, and Wine answers RegCreateKeyTransactedA with
// ERROR_CALL_NOT_IMPLEMENTED, so that route could not even be tested here.
#pragma once
#include <mutex>
#include <string>

#include "platform/registry.h"

namespace platform::win32 {

class Win32Registry final : public Registry {
 public:
  // Creating asks only for the right to read the key's values: an existing key the user may read
  // but not change is "created" without error, and the write that follows reports the refusal.
  uint32_t CreateKey(RegRoot root, const std::string& keyPath, bool bVolatile = false,
                     RegView view = RegView::Default, bool* bCreated = nullptr) override;
  uint32_t OpenKey(RegRoot root, const std::string& keyPath,
                   RegView view = RegView::Default) override;
  // A root itself is never deleted: an empty path is refused with ERROR_ACCESS_DENIED.
  uint32_t DeleteKey(RegRoot root, const std::string& keyPath,
                     RegView view = RegView::Default) override;
  // With an empty path only the root's contents go, as RegDeleteTreeA without a subkey does.
  uint32_t DeleteTree(RegRoot root, const std::string& keyPath,
                      RegView view = RegView::Default) override;
  uint32_t QueryValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                      RegValue& value, RegView view = RegView::Default) override;
  uint32_t SetValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                    const RegValue& value, RegView view = RegView::Default) override;
  uint32_t DeleteValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                       RegView view = RegView::Default) override;
  uint32_t EnumKey(RegRoot root, const std::string& keyPath, uint32_t index, std::string& name,
                   RegView view = RegView::Default) override;
  uint32_t EnumValue(RegRoot root, const std::string& keyPath, uint32_t index, std::string& name,
                     RegValue& value, RegView view = RegView::Default) override;
  uint32_t QueryInfoKey(RegRoot root, const std::string& keyPath, RegKeyInfo& info,
                        RegView view = RegView::Default) override;
  ~Win32Registry() override;

 private:
  // The key of the last enumeration call opened for the next (an HKEY), or null; 0 when opened.
  long OpenEnumerated(RegRoot root, const std::string& keyPath, RegView view);
  void CloseEnumerated();
  void EndEnumeration();  // CloseEnumerated under the lock, before a write or delete
  template <class Read>
  uint32_t ReadEnumerated(RegRoot root, const std::string& keyPath, RegView view, Read read);

  std::mutex mutex_;
  void* hEnumerated_ = nullptr;
  RegRoot enumeratedRoot_ = RegRoot::LocalMachine;
  RegView enumeratedView_ = RegView::Default;
  std::string enumeratedPath_;
};

}  // namespace platform::win32
