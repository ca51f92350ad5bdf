// The SQLite store of DOS attributes and creation times. One row per file, kept in the path's own
// tree (WITHOUT ROWID), so that adding a row writes one tree instead of a table and an index (a
// table made by an older version keeps its rowid and works the same); a subtree (a renamed
// or removed directory) is the key itself plus the keys between "key/" and "key0", '0' being the
// byte after '/'. Several engine processes share the table: WAL mode and a busy timeout. A batch
// that cannot be written (the table busy past the timeout) stays in memory for the next try.
#include "platform/emulated/files/file_metadata.h"

#include <sqlite3.h>

#include <vector>

#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr size_t kMaxPending = 1000;
constexpr auto kMaxPendingAge = std::chrono::milliseconds(500);
constexpr auto kMaxReadingAge = std::chrono::milliseconds(100);

constexpr const char* kSchema =
    "PRAGMA journal_mode=WAL;"
    "PRAGMA synchronous=NORMAL;"
    "CREATE TABLE IF NOT EXISTS file_meta("
    "  path TEXT PRIMARY KEY, attributes INTEGER NOT NULL, creation INTEGER NOT NULL)"
    " WITHOUT ROWID;";

constexpr const char* kDeleteSubtree =
    "DELETE FROM file_meta WHERE path = ?1 OR (path > ?1 || '/' AND path < ?1 || '0')";
constexpr const char* kAnyBelow =
    "SELECT 1 FROM file_meta WHERE path > ?1 || '/' AND path < ?1 || '0' LIMIT 1";
constexpr const char* kSelectSubtree =
    "SELECT path, attributes, creation FROM file_meta"
    " WHERE path = ?1 OR (path > ?1 || '/' AND path < ?1 || '0')";

uint32_t Win32ErrorOfSqlite(int rc) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_DONE:
    case SQLITE_ROW:
      return ERROR_SUCCESS;
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
      return ERROR_ACCESS_DENIED;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    default:
      return ERROR_GEN_FAILURE;
  }
}

void BindText(sqlite3_stmt* stmt, int index, const std::string& text) {
  sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

// Runs a prepared statement to its end and resets it for the next use.
int StepToEnd(sqlite3_stmt* stmt) {
  int rc = sqlite3_step(stmt);
  while (rc == SQLITE_ROW) rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  return rc;
}

struct Row {
  std::string key;
  StoredMetadata meta;
};

}  // namespace

FileMetadataStore::FileMetadataStore(const std::string& machineDir)
    : m_machinePrefix(machineDir + "/") {
  const std::string file = machineDir + "/files.db";
  if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
          SQLITE_OK ||
      sqlite3_busy_timeout(m_db, 5000) != SQLITE_OK ||
      sqlite3_exec(m_db, kSchema, nullptr, nullptr, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(m_db, "SELECT attributes, creation FROM file_meta WHERE path = ?1", -1,
                         &m_get, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(m_db, "INSERT OR REPLACE INTO file_meta VALUES(?1, ?2, ?3)", -1, &m_put,
                         nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(m_db, "DELETE FROM file_meta WHERE path = ?1", -1, &m_delete, nullptr) !=
          SQLITE_OK ||
      sqlite3_prepare_v2(m_db, kAnyBelow, -1, &m_anyBelow, nullptr) != SQLITE_OK) {
    FinalizeStatements();
    sqlite3_close(m_db);
    m_db = nullptr;
  }
}

FileMetadataStore::~FileMetadataStore() {
  Flush();  // nobody is left to report a failure to: the rows fall back to the host's view
  EndReading();
  FinalizeStatements();
  sqlite3_close(m_db);
}

void FileMetadataStore::FinalizeStatements() {
  for (sqlite3_stmt** pStmt : {&m_get, &m_put, &m_delete, &m_anyBelow}) {
    sqlite3_finalize(*pStmt);
    *pStmt = nullptr;
  }
}

std::string FileMetadataStore::KeyOf(const std::string& hostPath) const {
  if (hostPath.compare(0, m_machinePrefix.size(), m_machinePrefix) == 0)
    return hostPath.substr(m_machinePrefix.size());
  return hostPath;
}

bool FileMetadataStore::Get(const std::string& hostPath, StoredMetadata& meta) {
  if (!m_db) return false;
  const std::string key = KeyOf(hostPath);
  if (const auto it = m_pending.find(key); it != m_pending.end()) {
    if (it->second) meta = *it->second;
    return it->second.has_value();
  }
  KeepReading();
  const size_t nSlash = key.rfind('/');
  const std::string folder = nSlash == std::string::npos ? std::string() : key.substr(0, nSlash);
  if (!folder.empty() && m_foldersWithoutRows.count(folder)) return false;
  BindText(m_get, 1, key);
  const bool bFound = sqlite3_step(m_get) == SQLITE_ROW;
  if (bFound) {
    meta.dwAttributes = static_cast<uint32_t>(sqlite3_column_int64(m_get, 0));
    meta.ftCreationTime = static_cast<uint64_t>(sqlite3_column_int64(m_get, 1));
  }
  sqlite3_reset(m_get);
  sqlite3_clear_bindings(m_get);
  if (!bFound && m_bReading && !folder.empty() && !FolderHasRows(folder))
    m_foldersWithoutRows.insert(folder);
  return bFound;
}

uint32_t FileMetadataStore::Put(const std::string& hostPath, const StoredMetadata& meta) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  return Keep(KeyOf(hostPath), meta);
}

uint32_t FileMetadataStore::RemoveFile(const std::string& hostPath) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  return Keep(KeyOf(hostPath), std::nullopt);
}

uint32_t FileMetadataStore::RenameFile(const std::string& from, const std::string& to) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  StoredMetadata meta;
  const bool bHasRow = Get(from, meta);
  Keep(KeyOf(from), std::nullopt);
  return Keep(KeyOf(to), bHasRow ? std::optional(meta) : std::nullopt);
}

uint32_t FileMetadataStore::Keep(const std::string& key,
                                 const std::optional<StoredMetadata>& meta) {
  const Clock::time_point now = Clock::now();
  if (m_pending.empty()) m_oldestPending = now;
  m_pending.insert_or_assign(key, meta);
  if (m_pending.size() < kMaxPending && now - m_oldestPending < kMaxPendingAge)
    return ERROR_SUCCESS;
  return Flush();
}

void FileMetadataStore::KeepReading() {
  const Clock::time_point now = Clock::now();
  if (m_bReading && now - m_readingSince < kMaxReadingAge) return;
  EndReading();
  m_bReading = sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  m_readingSince = now;
}

bool FileMetadataStore::FolderHasRows(const std::string& folderKey) {
  BindText(m_anyBelow, 1, folderKey);
  const int rc = sqlite3_step(m_anyBelow);
  sqlite3_reset(m_anyBelow);
  sqlite3_clear_bindings(m_anyBelow);
  return rc != SQLITE_DONE;  // a row, or an error that leaves the question open
}

void FileMetadataStore::EndReading() {
  m_foldersWithoutRows.clear();
  if (!m_bReading) return;
  sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
  m_bReading = false;
}

uint32_t FileMetadataStore::Flush() {
  EndReading();
  if (!m_db || m_pending.empty()) return ERROR_SUCCESS;
  if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
    return ERROR_BUSY;
  const uint32_t err = WriteBatch();
  if (sqlite3_exec(m_db, err ? "ROLLBACK" : "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK &&
      !err)
    return ERROR_GEN_FAILURE;
  if (!err) m_pending.clear();
  return err;
}

uint32_t FileMetadataStore::WriteBatch() {
  for (const auto& [key, meta] : m_pending) {
    uint32_t err = ERROR_SUCCESS;
    if (meta) {
      err = PutKey(key, *meta);
    } else {
      BindText(m_delete, 1, key);
      err = Win32ErrorOfSqlite(StepToEnd(m_delete));
    }
    if (err) return err;
  }
  return ERROR_SUCCESS;
}

uint32_t FileMetadataStore::PutKey(const std::string& key, const StoredMetadata& meta) {
  BindText(m_put, 1, key);
  sqlite3_bind_int64(m_put, 2, meta.dwAttributes);
  sqlite3_bind_int64(m_put, 3, static_cast<sqlite3_int64>(meta.ftCreationTime));
  return Win32ErrorOfSqlite(StepToEnd(m_put));
}

uint32_t FileMetadataStore::Execute(const char* sql, const std::string& key) {
  EndReading();
  sqlite3_stmt* stmt = nullptr;
  int rc = sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr);
  if (rc == SQLITE_OK) {
    BindText(stmt, 1, key);
    rc = StepToEnd(stmt);
  }
  sqlite3_finalize(stmt);
  return Win32ErrorOfSqlite(rc);
}

uint32_t FileMetadataStore::Remove(const std::string& hostPath) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  if (uint32_t err = Flush()) return err;
  return Execute(kDeleteSubtree, KeyOf(hostPath));
}

uint32_t FileMetadataStore::Rename(const std::string& from, const std::string& to) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  if (uint32_t err = Flush()) return err;
  const std::string fromKey = KeyOf(from);
  const std::string toKey = KeyOf(to);
  std::vector<Row> rows;
  sqlite3_stmt* select = nullptr;
  if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
    return ERROR_BUSY;
  int rc = sqlite3_prepare_v2(m_db, kSelectSubtree, -1, &select, nullptr);
  if (rc == SQLITE_OK) {
    BindText(select, 1, fromKey);
    while ((rc = sqlite3_step(select)) == SQLITE_ROW) {
      const auto* pText = reinterpret_cast<const char*>(sqlite3_column_text(select, 0));
      rows.push_back({std::string(pText, static_cast<size_t>(sqlite3_column_bytes(select, 0))),
                      {static_cast<uint32_t>(sqlite3_column_int64(select, 1)),
                       static_cast<uint64_t>(sqlite3_column_int64(select, 2))}});
    }
  }
  sqlite3_finalize(select);
  uint32_t err = Win32ErrorOfSqlite(rc);
  if (!err) err = Execute(kDeleteSubtree, toKey);
  if (!err) err = Execute(kDeleteSubtree, fromKey);
  for (size_t i = 0; !err && i < rows.size(); ++i)
    err = PutKey(toKey + rows[i].key.substr(fromKey.size()), rows[i].meta);
  sqlite3_exec(m_db, err ? "ROLLBACK" : "COMMIT", nullptr, nullptr, nullptr);
  return err;
}

}  // namespace platform::emulated
