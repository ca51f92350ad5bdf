// The registry operations over the tables of registry_sqlite_schema.h. Every call resolves its key
// path to a key id (kept between calls while no other process commits), runs its statements in one
// transaction and maps failures to Win32 codes. Deleting a tree walks it with a recursive query and
// refuses when it holds a fixed key, so that a root always leads somewhere.
#include "platform/emulated/registry/registry_sqlite.h"

#include <chrono>

#include "platform/emulated/registry/registry_sqlite_schema.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

using namespace schema;

constexpr size_t kMaxCachedKeys = 1 << 16;
// A run of Setup.exe writes about a dozen pages. Indexing a page costs a read and a checksum
// (some microseconds); emptying the log costs four disk syncs and a truncation (one to thirty
// milliseconds, by the disk's load). Emptying every 300 pages keeps both small.
constexpr int kLongLogPages = 300;

class Query : public SqlQuery {
 public:
  Query(SqlConnection& db, const Sql& sql, bool bWriting = false)
      : SqlQuery(db, sql.slot, sql.text, bWriting) {}
};

// FILETIME of now: 100 ns steps since 1601-01-01 UTC.
int64_t NowFileTime() {
  constexpr int64_t kUnixEpochAsFileTime = 116444736000000000;
  const auto sinceUnix = std::chrono::system_clock::now().time_since_epoch();
  return kUnixEpochAsFileTime +
         std::chrono::duration_cast<std::chrono::nanoseconds>(sinceUnix).count() / 100;
}

std::string_view AsBytes(const std::vector<uint8_t>& data) {
  return {reinterpret_cast<const char*>(data.data()), data.size()};
}

// The value in columns nColumn (type) and nColumn + 1 (data) of the row.
RegValue ValueAt(const SqlQuery& query, int nColumn) {
  return RegValue{static_cast<uint32_t>(query.Int(nColumn)), query.Data(nColumn + 1)};
}

void AppendCachePath(std::string& cachePath, const std::string& name) {
  if (!cachePath.empty()) cachePath += '\\';
  cachePath += FoldRegName(name);
}

bool IsUsableSid(const std::string& sid) {
  return !sid.empty() && sid.size() <= kMaxKeyNameLen &&
         sid.find_first_of(std::string_view("\\\0", 2)) == std::string::npos;
}

}  // namespace

uint32_t SqliteRegistry::Open(const SqliteRegistryOptions& options,
                              std::unique_ptr<SqliteRegistry>& registry) {
  if (!IsUsableSid(options.userSid)) return ERROR_INVALID_PARAMETER;
  std::unique_ptr<SqliteRegistry> opened(new SqliteRegistry(options.userSid, options.dbPath));
  uint32_t dwError = opened->db_.Open(options.dbPath, options.nBusyTimeoutMs);
  if (!dwError) dwError = opened->db_.Execute("PRAGMA journal_mode=WAL", true);
  if (!dwError) dwError = opened->db_.Execute("PRAGMA synchronous=NORMAL", true);
  if (!dwError) dwError = opened->CreateSchema();
  if (!dwError) registry = std::move(opened);
  return dwError;
}

// Creates the tables and the keys behind the roots once; later opens find them and change nothing.
uint32_t SqliteRegistry::CreateSchema() {
  return RunWrite([&]() -> uint32_t {
    Query version(db_, kSqlUserVersion);
    if (!version.Next()) return version.Error();
    const int64_t nVersion = version.Int(0);
    if (nVersion > kSchemaVersion) return ERROR_REGISTRY_CORRUPT;  // written by a newer build
    if (nVersion < kSchemaVersion) {
      if (uint32_t dwError = db_.Execute(kSchemaSql, true)) return dwError;
      if (uint32_t dwError = db_.Execute("PRAGMA user_version=1", true)) return dwError;
    }
    for (const auto& names : StructuralKeys(userSid_)) {
      KeyRef key;
      bool bCreated = false;
      if (uint32_t dwError = CreatePath(KeyPath{names, names.size()}, false, true, key, bCreated))
        return dwError;
    }
    return ERROR_SUCCESS;
  });
}

void SqliteRegistry::EmptyLongLog() {
  if (db_.LogPages() > kLongLogPages) db_.EmptyLog();
}

template <class Body>
uint32_t SqliteRegistry::RunRead(Body&& body) {
  if (bInOneWrite_) return body();
  SqlTransaction transaction(db_, false);
  uint32_t dwError = transaction.Error();
  if (!dwError) dwError = SyncWithOtherProcesses();
  if (!dwError) dwError = body();
  if (!dwError) dwError = transaction.Commit();
  return dwError;
}

template <class Body>
uint32_t SqliteRegistry::RunWrite(Body&& body) {
#ifdef TARVIUM_FAULT_SEAM
  if (bRefuseWrites_) {
    if (nAllowedWrites_ == 0) return dwRefusedWriteError_;
    --nAllowedWrites_;
  }
#endif
  if (bInOneWrite_) {
    const uint32_t dwError = body();
    if (dwError) {  // the transaction stays open: what this call learnt may not be true
      ForgetKeys();
      ForgetLists();
    }
    return dwError;
  }
  return RunWriteTransaction(body);
}

template <class Body>
uint32_t SqliteRegistry::RunWriteTransaction(Body&& body) {
  valueCache_.WriteBegins();
  uint32_t dwError = 0;
  {
    SqlTransaction transaction(db_, true);
    dwError = transaction.Error();
    if (!dwError) dwError = SyncWithOtherProcesses();
    if (!dwError) dwError = body();
    if (!dwError) dwError = transaction.Commit();
  }
  valueCache_.WriteEnds();
  if (dwError) {  // rolled back: what was learnt inside the transaction may not be true
    ForgetKeys();
    ForgetLists();
  }
  return dwError;
}

// Another connection's commit changes data_version; kept ids and lists may then be wrong.
uint32_t SqliteRegistry::SyncWithOtherProcesses() {
  Query version(db_, kSqlDataVersion);
  if (!version.Next()) return version.Error();
  if (version.Int(0) != nDataVersion_) {
    nDataVersion_ = version.Int(0);
    ForgetKeys();
    ForgetLists();
  }
  return ERROR_SUCCESS;
}

void SqliteRegistry::ForgetKeys() {
  keys_.clear();
  requests_.clear();
}

void SqliteRegistry::ForgetLists() {
  subkeys_ = SubkeyList{};
  values_ = ValueList{};
}

uint32_t SqliteRegistry::Resolve(RegRoot root, const std::string& keyPath, RegView view,
                                 bool bCreating, KeyPath& path) const {
  return ResolveKeyPath(root, keyPath, view, userSid_, bCreating, path);
}

std::string SqliteRegistry::RequestOf(RegRoot root, const std::string& keyPath, RegView view) {
  return std::string{static_cast<char>(root), static_cast<char>(view)} + FoldRegName(keyPath);
}

// FindKey for a call's own arguments: a key asked for before is found without splitting its path.
uint32_t SqliteRegistry::LocateKey(RegRoot root, const std::string& keyPath, RegView view,
                                   KeyRef& key) {
  std::string request = RequestOf(root, keyPath, view);
  if (auto it = requests_.find(request); it != requests_.end()) {
    key = it->second;
    return ERROR_SUCCESS;
  }
  KeyPath path;
  if (uint32_t dwError = Resolve(root, keyPath, view, false, path)) return dwError;
  if (uint32_t dwError = FindKey(path, key)) return dwError;
  if (requests_.size() >= kMaxCachedKeys) requests_.clear();
  requests_.emplace(std::move(request), key);
  return ERROR_SUCCESS;
}

uint32_t SqliteRegistry::FindChild(const std::string& cachePath, const KeyRef& parent,
                                   const std::string& name, KeyRef& child) {
  if (auto it = keys_.find(cachePath); it != keys_.end()) {
    child = it->second;
    return ERROR_SUCCESS;
  }
  Query find(db_, kSqlFindChild);
  find.Bind(parent.id).Bind(FoldRegName(name));
  if (!find.Next()) return find.Error() ? find.Error() : ERROR_FILE_NOT_FOUND;
  child = KeyRef{find.Int(0), parent.id, find.Int(1) != 0, find.Int(2) != 0};
  if (keys_.size() >= kMaxCachedKeys) keys_.clear();
  keys_.emplace(cachePath, child);
  return ERROR_SUCCESS;
}

uint32_t SqliteRegistry::FindKey(const KeyPath& path, KeyRef& key) {
  std::string cachePath;
  for (const std::string& name : path.names) AppendCachePath(cachePath, name);
  if (auto it = keys_.find(cachePath); it != keys_.end()) {
    key = it->second;
    return ERROR_SUCCESS;
  }
  key = KeyRef{};
  cachePath.clear();
  for (const std::string& name : path.names) {
    AppendCachePath(cachePath, name);
    KeyRef child;
    if (uint32_t dwError = FindChild(cachePath, key, name, child)) return dwError;
    key = child;
  }
  return ERROR_SUCCESS;
}

uint32_t SqliteRegistry::InsertKey(const KeyRef& parent, const std::string& name, bool bVolatile,
                                   bool bFixed, KeyRef& child) {
  const int64_t nNow = NowFileTime();
  Query insert(db_, kSqlInsertKey, true);
  insert.Bind(parent.id).Bind(name).Bind(FoldRegName(name));
  insert.Bind(int64_t{bVolatile}).Bind(int64_t{bFixed}).Bind(nNow);
  if (uint32_t dwError = insert.Run()) return dwError;
  child = KeyRef{db_.LastInsertId(), parent.id, bVolatile, bFixed};
  return parent.id ? TouchKey(parent.id) : ERROR_SUCCESS;
}

// Walks the path, creating what is missing. A new key takes the volatility asked for; a
// non-volatile key cannot be created below a volatile one (ERROR_CHILD_MUST_BE_VOLATILE).
uint32_t SqliteRegistry::CreatePath(const KeyPath& path, bool bVolatile, bool bFixed, KeyRef& key,
                                    bool& bCreated) {
  bCreated = false;
  key = KeyRef{};
  std::string cachePath;
  for (const std::string& name : path.names) {
    AppendCachePath(cachePath, name);
    KeyRef child;
    uint32_t dwError = FindChild(cachePath, key, name, child);
    if (dwError == ERROR_FILE_NOT_FOUND) {
      if (key.bVolatile && !bVolatile) return ERROR_CHILD_MUST_BE_VOLATILE;
      dwError = InsertKey(key, name, bVolatile, bFixed, child);
      if (!dwError) keys_.emplace(cachePath, child);
      bCreated = true;
    } else if (!dwError && bFixed && !child.bFixed) {
      dwError = Query(db_, kSqlMarkFixed, true).Bind(child.id).Run();
      child.bFixed = true;
      keys_[cachePath] = child;
    }
    if (dwError) return dwError;
    key = child;
  }
  return ERROR_SUCCESS;
}

uint32_t SqliteRegistry::TouchKey(int64_t keyId) {
  return Query(db_, kSqlTouchKey, true).Bind(keyId).Bind(NowFileTime()).Run();
}

uint32_t SqliteRegistry::CreateKey(RegRoot root, const std::string& keyPath, bool bVolatile,
                                   RegView view, bool* bCreated) {
  if (uint32_t dwError = CheckRefusedKey(root, keyPath, view)) return dwError;
  KeyPath path;
  if (uint32_t dwError = Resolve(root, keyPath, view, true, path)) return dwError;
  bool bNew = false;
  const uint32_t dwError = RunWrite([&] {
    KeyRef key;
    if (uint32_t dwCreate = CreatePath(path, bVolatile, false, key, bNew)) return dwCreate;
    if (bNew) subkeys_ = SubkeyList{};
    return uint32_t{ERROR_SUCCESS};
  });
  if (bCreated) *bCreated = !dwError && bNew;
  return dwError;
}

uint32_t SqliteRegistry::ProtectKey(RegRoot root, const std::string& keyPath) {
  KeyPath path;
  if (uint32_t dwError = Resolve(root, keyPath, RegView::Default, true, path)) return dwError;
  return RunWrite([&] {
    KeyRef key;
    bool bNew = false;
    return CreatePath(path, false, true, key, bNew);
  });
}

uint32_t SqliteRegistry::OpenKey(RegRoot root, const std::string& keyPath, RegView view) {
  return RunRead([&] {
    KeyRef key;
    return LocateKey(root, keyPath, view, key);
  });
}

uint32_t SqliteRegistry::DeleteKey(RegRoot root, const std::string& keyPath, RegView view) {
  if (uint32_t dwError = CheckRefusedKey(root, keyPath, view)) return dwError;
  KeyPath path;
  if (uint32_t dwError = Resolve(root, keyPath, view, false, path)) return dwError;
  if (path.names.size() == path.nRootNames) return ERROR_ACCESS_DENIED;
  const uint32_t dwResult = RunWrite([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = FindKey(path, key)) return dwError;
    if (uint32_t dwError = RefuseFixed(key, true, false)) return dwError;
    Query hasSubkey(db_, kSqlHasSubkey);
    if (hasSubkey.Bind(key.id).Next()) return ERROR_ACCESS_DENIED;  // as RegDeleteKey
    if (hasSubkey.Error()) return hasSubkey.Error();
    if (uint32_t dwError = Query(db_, kSqlDeleteKeyValues, true).Bind(key.id).Run()) return dwError;
    if (uint32_t dwError = Query(db_, kSqlDeleteKeyRow, true).Bind(key.id).Run()) return dwError;
    ForgetKeys();
    ForgetLists();
    return TouchKey(key.parentId);
  });
  return TellKeyDeleted(dwResult, root, keyPath);
}

uint32_t SqliteRegistry::TellKeyDeleted(uint32_t dwResult, RegRoot root,
                                        const std::string& keyPath) {
  if (dwResult == ERROR_SUCCESS && keyDeleted_) keyDeleted_(root, keyPath);
  return dwResult;
}

uint32_t SqliteRegistry::RefuseFixed(const KeyRef& key, bool bSelf, bool bTree) {
  if (bSelf && key.bFixed) return ERROR_ACCESS_DENIED;
  if (!bTree) return ERROR_SUCCESS;
  Query hasFixed(db_, kSqlSubtreeHasFixed);
  if (hasFixed.Bind(key.id).Next()) return ERROR_ACCESS_DENIED;
  return hasFixed.Error();
}

uint32_t SqliteRegistry::CheckDeletion(RegRoot root, const std::string& keyPath, bool bTree,
                                       RegView view) {
  KeyPath path;
  if (Resolve(root, keyPath, view, false, path) != ERROR_SUCCESS) return ERROR_SUCCESS;
  const bool bSelf = path.names.size() > path.nRootNames;
  return RunRead([&]() -> uint32_t {
    KeyRef key;
    if (FindKey(path, key) != ERROR_SUCCESS) return ERROR_SUCCESS;
    return RefuseFixed(key, bSelf, bTree);
  });
}

// Deletes every subtree below key (none holds a fixed key).
uint32_t SqliteRegistry::DeleteSubtrees(const KeyRef& key) {
  if (uint32_t dwError = Query(db_, kSqlDeleteSubtreeValues, true).Bind(key.id).Run())
    return dwError;
  return Query(db_, kSqlDeleteSubtreeKeys, true).Bind(key.id).Run();
}

uint32_t SqliteRegistry::DeleteTree(RegRoot root, const std::string& keyPath, RegView view) {
  if (uint32_t dwError = CheckRefusedKey(root, keyPath, view)) return dwError;
  KeyPath path;
  if (uint32_t dwError = Resolve(root, keyPath, view, false, path)) return dwError;
  const bool bDeleteSelf = path.names.size() > path.nRootNames;
  const uint32_t dwResult = RunWrite([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = FindKey(path, key)) return dwError;
    if (uint32_t dwError = RefuseFixed(key, bDeleteSelf, true)) return dwError;
    if (uint32_t dwError = DeleteSubtrees(key)) return dwError;
    if (uint32_t dwError = Query(db_, kSqlDeleteKeyValues, true).Bind(key.id).Run()) return dwError;
    ForgetKeys();
    ForgetLists();
    if (!bDeleteSelf) return TouchKey(key.id);
    if (uint32_t dwError = Query(db_, kSqlDeleteKeyRow, true).Bind(key.id).Run()) return dwError;
    return TouchKey(key.parentId);
  });
  return bDeleteSelf ? TellKeyDeleted(dwResult, root, keyPath) : dwResult;
}

// The common case without BEGIN and COMMIT: the key was found before, and data_version, read in
// the read transaction that the value's row holds open, shows that no other process has committed
// since, so the kept key id still holds.
bool SqliteRegistry::QueryKnownKeyValue(RegRoot root, const std::string& keyPath,
                                        const std::string& valueName, RegValue& value, RegView view,
                                        uint32_t& dwResult) {
  const auto it = requests_.find(RequestOf(root, keyPath, view));
  if (it == requests_.end()) return false;
  Query find(db_, kSqlFindValueInRow);
  if (!find.Bind(it->second.id).Bind(FoldRegName(CutAtNul(valueName))).Next()) return false;
  Query version(db_, kSqlDataVersion);
  if (!version.Next() || version.Int(0) != nDataVersion_) return false;
  dwResult = find.IsNull(0) ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
  if (!dwResult) value = ValueAt(find, 0);
  return true;
}

uint32_t SqliteRegistry::QueryValue(RegRoot root, const std::string& keyPath,
                                    const std::string& valueName, RegValue& value, RegView view) {
  const RegistryValueCache::Epoch epoch = valueCache_.Now();
  std::string cacheKey = RequestOf(root, keyPath, view);
  cacheKey.append(1, '\0').append(FoldRegName(CutAtNul(valueName)));
  uint32_t dwResult = 0;
  if (valueCache_.Find(epoch, cacheKey, dwResult, value)) return dwResult;
  dwResult = ReadValue(root, keyPath, valueName, value, view);
  if (dwResult == ERROR_SUCCESS || dwResult == ERROR_FILE_NOT_FOUND)
    valueCache_.Store(epoch, cacheKey, dwResult, value);
  return dwResult;
}

uint32_t SqliteRegistry::ReadValue(RegRoot root, const std::string& keyPath,
                                   const std::string& valueName, RegValue& value, RegView view) {
  if (uint32_t dwResult = 0; QueryKnownKeyValue(root, keyPath, valueName, value, view, dwResult))
    return dwResult;
  return RunRead([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = LocateKey(root, keyPath, view, key)) return dwError;
    Query find(db_, kSqlFindValue);
    find.Bind(key.id).Bind(FoldRegName(CutAtNul(valueName)));
    if (!find.Next()) return find.Error() ? find.Error() : ERROR_FILE_NOT_FOUND;
    value = ValueAt(find, 0);
    return ERROR_SUCCESS;
  });
}

uint32_t SqliteRegistry::SetValue(RegRoot root, const std::string& keyPath,
                                  const std::string& valueName, const RegValue& value,
                                  RegView view) {
  if (uint32_t dwError = CheckRefusedKey(root, keyPath, view)) return dwError;
  const std::string_view name = CutAtNul(valueName);
  if (name.size() > kMaxValueNameLen) return ERROR_INVALID_PARAMETER;
  return RunWrite([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = LocateKey(root, keyPath, view, key)) return dwError;
    Query upsert(db_, kSqlUpsertValue, true);
    upsert.Bind(key.id).Bind(name).Bind(FoldRegName(name));
    upsert.Bind(int64_t{value.dwType}).Bind(AsBytes(value.data)).Bind(NowFileTime());
    if (uint32_t dwError = upsert.Run()) return dwError;
    if (values_.keyId == key.id) values_ = ValueList{};
    return ERROR_SUCCESS;
  });
}

uint32_t SqliteRegistry::DeleteValue(RegRoot root, const std::string& keyPath,
                                     const std::string& valueName, RegView view) {
  if (uint32_t dwError = CheckRefusedKey(root, keyPath, view)) return dwError;
  return RunWrite([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = LocateKey(root, keyPath, view, key)) return dwError;
    Query erase(db_, kSqlDeleteValue, true);
    if (uint32_t dwError = erase.Bind(key.id).Bind(FoldRegName(CutAtNul(valueName))).Run())
      return dwError;
    if (db_.Changes() == 0) return ERROR_FILE_NOT_FOUND;
    if (values_.keyId == key.id) values_ = ValueList{};
    return TouchKey(key.id);
  });
}

uint32_t SqliteRegistry::LoadSubkeys(int64_t keyId) {
  if (subkeys_.keyId == keyId) return ERROR_SUCCESS;
  subkeys_ = SubkeyList{};
  Query list(db_, kSqlListSubkeys);
  list.Bind(keyId);
  while (list.Next()) subkeys_.names.push_back(list.Bytes(0));
  if (list.Error()) return list.Error();
  subkeys_.keyId = keyId;
  return ERROR_SUCCESS;
}

uint32_t SqliteRegistry::LoadValues(int64_t keyId) {
  if (values_.keyId == keyId) return ERROR_SUCCESS;
  values_ = ValueList{};
  Query list(db_, kSqlListValues);
  list.Bind(keyId);
  while (list.Next()) values_.values.emplace_back(list.Bytes(0), ValueAt(list, 1));
  if (list.Error()) return list.Error();
  values_.keyId = keyId;
  return ERROR_SUCCESS;
}

uint32_t SqliteRegistry::EnumKey(RegRoot root, const std::string& keyPath, uint32_t index,
                                 std::string& name, RegView view) {
  return RunRead([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = LocateKey(root, keyPath, view, key)) return dwError;
    if (uint32_t dwError = LoadSubkeys(key.id)) return dwError;
    if (index >= subkeys_.names.size()) return ERROR_NO_MORE_ITEMS;
    name = subkeys_.names[index];
    return ERROR_SUCCESS;
  });
}

uint32_t SqliteRegistry::EnumValue(RegRoot root, const std::string& keyPath, uint32_t index,
                                   std::string& name, RegValue& value, RegView view) {
  return RunRead([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = LocateKey(root, keyPath, view, key)) return dwError;
    if (uint32_t dwError = LoadValues(key.id)) return dwError;
    if (index >= values_.values.size()) return ERROR_NO_MORE_ITEMS;
    name = values_.values[index].first;
    value = values_.values[index].second;
    return ERROR_SUCCESS;
  });
}

uint32_t SqliteRegistry::QueryInfoKey(RegRoot root, const std::string& keyPath, RegKeyInfo& info,
                                      RegView view) {
  return RunRead([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = LocateKey(root, keyPath, view, key)) return dwError;
    Query subkeys(db_, kSqlSubkeyInfo);
    Query values(db_, kSqlValueInfo);
    Query time(db_, kSqlKeyTime);
    if (!subkeys.Bind(key.id).Next()) return subkeys.Error();
    if (!values.Bind(key.id).Next()) return values.Error();
    if (!time.Bind(key.id).Next()) return time.Error() ? time.Error() : ERROR_KEY_DELETED;
    info.nSubKeys = static_cast<uint32_t>(subkeys.Int(0));
    info.nMaxSubKeyLen = static_cast<uint32_t>(subkeys.Int(1));
    info.nValues = static_cast<uint32_t>(values.Int(0));
    info.nMaxValueNameLen = static_cast<uint32_t>(values.Int(1));
    info.nMaxValueLen = static_cast<uint32_t>(values.Int(2));
    info.ftLastWriteTime = static_cast<uint64_t>(time.Int(0));
    return ERROR_SUCCESS;
  });
}

uint32_t SqliteRegistry::CountKeyContents(RegRoot root, const std::string& keyPath,
                                          uint32_t& nSubKeys, uint32_t& nValues, RegView view) {
  nSubKeys = nValues = 0;
  return RunRead([&]() -> uint32_t {
    KeyRef key;
    if (uint32_t dwError = LocateKey(root, keyPath, view, key)) return dwError;
    Query subkeys(db_, kSqlCountSubkeys);
    Query values(db_, kSqlCountValues);
    if (!subkeys.Bind(key.id).Next()) return subkeys.Error();
    if (!values.Bind(key.id).Next()) return values.Error();
    nSubKeys = static_cast<uint32_t>(subkeys.Int(0));
    nValues = static_cast<uint32_t>(values.Int(0));
    return ERROR_SUCCESS;
  });
}

uint32_t SqliteRegistry::DeleteVolatileKeys() {
  return RunWrite([&]() -> uint32_t {
    if (uint32_t dwError = Query(db_, kSqlDeleteVolatileValues, true).Run()) return dwError;
    if (uint32_t dwError = Query(db_, kSqlDeleteVolatileKeys, true).Run()) return dwError;
    ForgetKeys();
    ForgetLists();
    return ERROR_SUCCESS;
  });
}

uint32_t SqliteRegistry::CheckIntegrity() {
  return RunRead([&]() -> uint32_t {
    Query check(db_, kSqlIntegrity);
    if (!check.Next()) return check.Error() ? check.Error() : ERROR_REGISTRY_CORRUPT;
    if (check.Bytes(0) != "ok") return ERROR_REGISTRY_CORRUPT;
    check.Run();  // drain: further rows only repeat the findings
    Query orphans(db_, kSqlOrphans);
    if (!orphans.Next()) return orphans.Error();
    return orphans.Int(0) == 0 ? ERROR_SUCCESS : ERROR_REGISTRY_CORRUPT;
  });
}

uint32_t SqliteRegistry::WriteAsOne(const std::function<uint32_t()>& body) {
  if (bInOneWrite_) return body();
#ifdef TARVIUM_FAULT_SEAM
  if (bBusyForOneWrite_) return ERROR_BUSY;
#endif
  return RunWriteTransaction([&] {
    bInOneWrite_ = true;
    const uint32_t dwError = body();
    bInOneWrite_ = false;
    return dwError;
  });
}

#ifdef TARVIUM_FAULT_SEAM
void SqliteRegistry::RefuseWrites(bool bRefuse, uint32_t nAllowedFirst, uint32_t dwError) {
  bRefuseWrites_ = bRefuse;
  nAllowedWrites_ = nAllowedFirst;
  dwRefusedWriteError_ = dwError;
}

void SqliteRegistry::RefuseWritesBelow(const std::string& fullKeyPath) {
  refusedNames_.clear();
  std::string_view rest = fullKeyPath;
  while (!rest.empty()) {
    const size_t cut = rest.find('\\');
    if (cut != 0) refusedNames_.push_back(FoldRegName(rest.substr(0, cut)));
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
  }
}
#endif

uint32_t SqliteRegistry::CheckRefusedKey(RegRoot root, const std::string& keyPath,
                                         RegView view) const {
#ifdef TARVIUM_FAULT_SEAM
  KeyPath path;
  if (refusedNames_.empty() || Resolve(root, keyPath, view, false, path) ||
      path.names.size() < refusedNames_.size())
    return ERROR_SUCCESS;
  for (size_t i = 0; i < refusedNames_.size(); ++i)
    if (FoldRegName(path.names[i]) != refusedNames_[i]) return ERROR_SUCCESS;
  return ERROR_ACCESS_DENIED;
#else
  (void)root, (void)keyPath, (void)view;
  return ERROR_SUCCESS;
#endif
}

}  // namespace platform::emulated
