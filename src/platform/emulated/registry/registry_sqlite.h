// The emulated machine's registry: the Windows registry's hierarchy and rules kept in one SQLite
// file (registry.db). Every public operation is one transaction (or joins the one WriteAsOne
// holds open), so a killed process leaves either all of an operation or none of it, and WAL mode
// with a busy timeout lets a parent setup and the child it waits for work on the same machine at
// once. Prepared statements and the ids of keys
// already found are kept between calls; SQLite's data_version tells when another process changed
// the file, and then the kept ids are forgotten.
//
// Subkeys enumerate in name order (upper-cased Windows-1252 bytes), values in creation order; both
// as Windows does it. Unlike Windows, keys may be created directly below HKEY_LOCAL_MACHINE and
// HKEY_USERS, so that a machine can be seeded and other users' hives made without a hive loader.
// An instance serves one thread at a time.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/emulated/registry/registry_path.h"
#include "platform/emulated/registry/registry_sqlite_db.h"
#include "platform/emulated/registry/registry_value_cache.h"
#include "platform/registry.h"
#include "platform/win_error.h"

namespace platform::emulated {

struct SqliteRegistryOptions {
  std::string dbPath;          // host path of registry.db; created when missing
  std::string userSid;         // the machine user's SID: HKEY_CURRENT_USER is HKEY_USERS\<SID>
  int nBusyTimeoutMs = 15000;  // how long a call waits for another process's write to finish
};

class SqliteRegistry final : public Registry {
 public:
  // Opens the registry file (creating it and the keys behind the five roots when missing).
  // Returns ERROR_INVALID_PARAMETER for an unusable SID, ERROR_REGISTRY_CORRUPT for a file that
  // is not a registry, ERROR_CANTOPEN when it cannot be opened.
  static uint32_t Open(const SqliteRegistryOptions& options,
                       std::unique_ptr<SqliteRegistry>& registry);

  uint32_t CreateKey(RegRoot root, const std::string& keyPath, bool bVolatile = false,
                     RegView view = RegView::Default, bool* bCreated = nullptr) override;
  uint32_t OpenKey(RegRoot root, const std::string& keyPath,
                   RegView view = RegView::Default) override;
  uint32_t DeleteKey(RegRoot root, const std::string& keyPath,
                     RegView view = RegView::Default) override;
  // With an empty keyPath the root's values and subkeys go and the root stays, as RegDeleteTree.
  uint32_t DeleteTree(RegRoot root, const std::string& keyPath,
                      RegView view = RegView::Default) override;
  uint32_t QueryValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                      RegValue& value, RegView view = RegView::Default) override;
  uint32_t SetValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                    const RegValue& value, RegView view = RegView::Default) override;
  uint32_t DeleteValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                       RegView view = RegView::Default) override;
  uint32_t CheckWriteAccess(RegRoot root, const std::string& keyPath,
                            RegView view = RegView::Default) override {
    return CheckRefusedKey(root, keyPath, view);
  }
  // The keys the machine was created with are kept.
  uint32_t CheckDeletion(RegRoot root, const std::string& keyPath, bool bTree,
                         RegView view = RegView::Default) override;
  uint32_t EnumKey(RegRoot root, const std::string& keyPath, uint32_t index, std::string& name,
                   RegView view = RegView::Default) override;
  uint32_t EnumValue(RegRoot root, const std::string& keyPath, uint32_t index, std::string& name,
                     RegValue& value, RegView view = RegView::Default) override;
  uint32_t QueryInfoKey(RegRoot root, const std::string& keyPath, RegKeyInfo& info,
                        RegView view = RegView::Default) override;
  // Counts through the indexes without reading a value's data.
  uint32_t CountKeyContents(RegRoot root, const std::string& keyPath, uint32_t& nSubKeys,
                            uint32_t& nValues, RegView view = RegView::Default) override;

  // For the end of a process: empties the write-ahead log into registry.db when this process's
  // last write left more than a couple of dozen runs' worth of pages in it, since the first process
  // to open the registry again reads the whole log to index it. Leaves it when another process is
  // busy.
  void EmptyLongLog();

  // What a restart does to the registry: every volatile key, and so everything below it, is gone.
  // The machine's reboot calls this.
  uint32_t DeleteVolatileKeys();
  // ERROR_SUCCESS when SQLite finds the file sound and every key and value has its parent key;
  // ERROR_REGISTRY_CORRUPT otherwise.
  uint32_t CheckIntegrity();
  // Runs body, whose registry calls then share one transaction: all of their writes stay when it
  // returns ERROR_SUCCESS, none of them otherwise. Another process waits until it ends.
  uint32_t WriteAsOne(const std::function<uint32_t()>& body) override;

  // Creates the key when missing and keeps it, with the keys above it, from ever being deleted
  // (ERROR_ACCESS_DENIED), as Windows keeps the keys it owns.
  uint32_t ProtectKey(RegRoot root, const std::string& keyPath);

  // Told of every key deleted (with all below it), by the root and path it was deleted by, after
  // the deletion; the machine forgets what it kept about the key elsewhere (its access list).
  using KeyDeletedListener = std::function<void(RegRoot root, const std::string& keyPath)>;
  void SetKeyDeletedListener(KeyDeletedListener listener) { keyDeleted_ = std::move(listener); }

#ifdef TARVIUM_FAULT_SEAM
  // Test-only: while bRefuse is set, every write (creating, setting or deleting) fails with
  // dwError: ERROR_ACCESS_DENIED as under a key whose ACL refuses the caller, ERROR_DISK_FULL as
  // when the disk has no room for the log; the first nAllowedFirst writes still succeed, so that
  // "the Nth write fails" can be arranged.
  void RefuseWrites(bool bRefuse, uint32_t nAllowedFirst = 0,
                    uint32_t dwError = ERROR_ACCESS_DENIED);
  // Test-only: writes at or below the key (a full path, "HKEY_LOCAL_MACHINE\\SOFTWARE\\Locked",
  // as the views resolve it) fail with ERROR_ACCESS_DENIED; an empty path refuses nothing.
  void RefuseWritesBelow(const std::string& fullKeyPath);
  // Test-only: while bBusy is set, WriteAsOne fails with ERROR_BUSY without running its body, as
  // when another process holds the registry longer than a call waits; single writes still succeed.
  void RefuseWritesAsOne(bool bBusy) {
    bBusyForOneWrite_ = bBusy;
  }
#endif

 private:
  struct KeyRef {
    int64_t id = 0;  // 0 stands for the machine above the two hives
    int64_t parentId = 0;
    bool bVolatile = false;
    bool bFixed = false;  // stands behind a root; never deleted
  };
  struct SubkeyList {
    int64_t keyId = -1;
    std::vector<std::string> names;
  };
  struct ValueList {
    int64_t keyId = -1;
    std::vector<std::pair<std::string, RegValue>> values;
  };

  SqliteRegistry(std::string userSid, const std::string& dbPath)
      : userSid_(std::move(userSid)), valueCache_(dbPath) {}
  uint32_t CreateSchema();

  template <class Body>
  uint32_t RunRead(Body&& body);
  template <class Body>
  uint32_t RunWrite(Body&& body);
  template <class Body>
  uint32_t RunWriteTransaction(Body&& body);
  uint32_t SyncWithOtherProcesses();
  void ForgetKeys();
  void ForgetLists();

  // ERROR_ACCESS_DENIED for a write the fault seam refuses; 0 otherwise (always without it).
  uint32_t CheckRefusedKey(RegRoot root, const std::string& keyPath, RegView view) const;
  uint32_t Resolve(RegRoot root, const std::string& keyPath, RegView view, bool bCreating,
                   KeyPath& path) const;
  uint32_t LocateKey(RegRoot root, const std::string& keyPath, RegView view, KeyRef& key);
  uint32_t ReadValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                     RegValue& value, RegView view);
  bool QueryKnownKeyValue(RegRoot root, const std::string& keyPath, const std::string& valueName,
                          RegValue& value, RegView view, uint32_t& dwResult);
  uint32_t FindKey(const KeyPath& path, KeyRef& key);
  static std::string RequestOf(RegRoot root, const std::string& keyPath, RegView view);
  uint32_t FindChild(const std::string& cachePath, const KeyRef& parent, const std::string& name,
                     KeyRef& child);
  uint32_t CreatePath(const KeyPath& path, bool bVolatile, bool bFixed, KeyRef& key,
                      bool& bCreated);
  uint32_t InsertKey(const KeyRef& parent, const std::string& name, bool bVolatile, bool bFixed,
                     KeyRef& child);
  uint32_t TouchKey(int64_t keyId);
  uint32_t DeleteSubtrees(const KeyRef& key);
  // ERROR_ACCESS_DENIED when deleting the key (bSelf) or its subtree (bTree) would delete a key
  // the machine was created with.
  uint32_t RefuseFixed(const KeyRef& key, bool bSelf, bool bTree);
  // Tells the listener of a deletion that succeeded; gives dwResult back.
  uint32_t TellKeyDeleted(uint32_t dwResult, RegRoot root, const std::string& keyPath);
  uint32_t LoadSubkeys(int64_t keyId);
  uint32_t LoadValues(int64_t keyId);

  SqlConnection db_;
  std::string userSid_;
  int64_t nDataVersion_ = -1;
  std::unordered_map<std::string, KeyRef> keys_;      // folded full path -> key
  std::unordered_map<std::string, KeyRef> requests_;  // root, view and folded key path -> key
  SubkeyList subkeys_;                                // the key enumerated last
  ValueList values_;
  RegistryValueCache valueCache_;
  bool bInOneWrite_ = false;  // inside WriteAsOne: calls join its transaction
#ifdef TARVIUM_FAULT_SEAM
  bool bRefuseWrites_ = false;
  uint32_t nAllowedWrites_ = 0;
  uint32_t dwRefusedWriteError_ = ERROR_ACCESS_DENIED;
  std::vector<std::string> refusedNames_;  // folded names of the refused key
  bool bBusyForOneWrite_ = false;
#endif
  KeyDeletedListener keyDeleted_;
};

}  // namespace platform::emulated
