// The store of DOS attributes and creation times: the changes gathered in memory, the batch in
// flight on the writer's thread and the table behind them, read in that order. A subtree (a
// renamed or removed directory) is the key itself plus the keys between "key/" and "key0", '0'
// being the byte after '/'.
#include "platform/emulated/files/file_metadata.h"

#include <sqlite3.h>

#include <vector>

#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr size_t kMaxPending = 1000;
constexpr auto kMaxPendingAge = std::chrono::milliseconds(500);
constexpr auto kMaxReadingAge = std::chrono::milliseconds(100);

constexpr const char* kDeleteSubtree =
    "DELETE FROM file_meta WHERE path = ?1 OR (path > ?1 || '/' AND path < ?1 || '0')";
constexpr const char* kAnyBelow =
    "SELECT 1 FROM file_meta WHERE path > ?1 || '/' AND path < ?1 || '0' LIMIT 1";
constexpr const char* kKeysBelow =
    "SELECT path FROM file_meta WHERE path > ?1 || '/' AND path < ?1 || '0'";
constexpr const char* kSelectSubtree =
    "SELECT path, attributes, creation FROM file_meta"
    " WHERE path = ?1 OR (path > ?1 || '/' AND path < ?1 || '0')";

// Looks for a change of `key` among `changes`: true when there is one, with `bHasRow` telling
// whether the row stays (and `meta` its content).
bool FindChange(const MetadataChanges& changes, std::string_view key, StoredMetadata& meta,
                bool& bHasRow) {
  if (changes.empty()) return false;
  const auto it = changes.find(key);
  if (it == changes.end()) return false;
  bHasRow = it->second.has_value();
  if (bHasRow) meta = *it->second;
  return true;
}

bool IsBelow(std::string_view key, std::string_view folderKey) {
  return key.size() > folderKey.size() && key[folderKey.size()] == '/' &&
         key.compare(0, folderKey.size(), folderKey) == 0;
}

struct Row {
  std::string key;
  StoredMetadata meta;
};

}  // namespace

FileMetadataStore::FileMetadataStore(const std::string& machineDir)
    : m_machinePrefix(machineDir + "/"), m_writer(machineDir + "/files.db") {
  if (OpenMetadataTable(machineDir + "/files.db", &m_db) != SQLITE_OK ||
      sqlite3_prepare_v2(m_db, "SELECT attributes, creation FROM file_meta WHERE path = ?1", -1,
                         &m_get, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(m_db, kPutMetadataRow, -1, &m_put, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(m_db, kAnyBelow, -1, &m_anyBelow, nullptr) != SQLITE_OK ||
      sqlite3_prepare_v2(m_db, kKeysBelow, -1, &m_keysBelow, nullptr) != SQLITE_OK) {
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
  for (sqlite3_stmt** pStmt : {&m_get, &m_put, &m_anyBelow, &m_keysBelow}) {
    sqlite3_finalize(*pStmt);
    *pStmt = nullptr;
  }
}

std::string_view FileMetadataStore::KeyOf(const std::string& hostPath) const {
  const std::string_view key = hostPath;
  if (key.compare(0, m_machinePrefix.size(), m_machinePrefix) == 0)
    return key.substr(m_machinePrefix.size());
  return key;
}

bool FileMetadataStore::Get(const std::string& hostPath, StoredMetadata& meta) {
  if (!m_db) return false;
  const std::string_view key = KeyOf(hostPath);
  bool bHasRow = false;
  if (FindChange(m_pending, key, meta, bHasRow) ||
      FindChange(m_writer.InFlight(), key, meta, bHasRow))
    return bHasRow;
  KeepReading();
  const size_t nSlash = key.rfind('/');
  const std::string_view folder =
      nSlash == std::string_view::npos ? std::string_view() : key.substr(0, nSlash);
  if (!folder.empty() && m_foldersWithoutRows.find(folder) != m_foldersWithoutRows.end())
    return false;
  BindText(m_get, 1, key);
  const bool bFound = sqlite3_step(m_get) == SQLITE_ROW;
  if (bFound) {
    meta.dwAttributes = static_cast<uint32_t>(sqlite3_column_int64(m_get, 0));
    meta.ftCreationTime = static_cast<uint64_t>(sqlite3_column_int64(m_get, 1));
  }
  sqlite3_reset(m_get);
  sqlite3_clear_bindings(m_get);
  if (!bFound && m_bReading && !folder.empty() && !FolderHasRows(folder))
    m_foldersWithoutRows.emplace(folder);
  return bFound;
}

uint32_t FileMetadataStore::Put(const std::string& hostPath, const StoredMetadata& meta) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  return Keep(std::string(KeyOf(hostPath)), meta);
}

uint32_t FileMetadataStore::RemoveFile(const std::string& hostPath) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  return Keep(std::string(KeyOf(hostPath)), std::nullopt);
}

uint32_t FileMetadataStore::RenameFile(const std::string& from, const std::string& to) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  StoredMetadata meta;
  const bool bHasRow = Get(from, meta);
  const uint32_t errFrom = Keep(std::string(KeyOf(from)), std::nullopt);
  const uint32_t errTo = Keep(std::string(KeyOf(to)), bHasRow ? std::optional(meta) : std::nullopt);
  return errTo ? errTo : errFrom;
}

uint32_t FileMetadataStore::Keep(std::string key, const std::optional<StoredMetadata>& meta) {
  uint32_t err = m_writer.Busy() && m_writer.Done() ? TakeBackBatch() : ERROR_SUCCESS;
  const Clock::time_point now = Clock::now();
  if (m_pending.empty()) m_oldestPending = now;
  m_pending.insert_or_assign(std::move(key), meta);
  const bool bFull = m_pending.size() >= kMaxPending;
  if (!bFull && now - m_oldestPending < kMaxPendingAge) return err;
  if (m_writer.Busy()) {
    if (!bFull) return err;  // handed over at a later change
    if (const uint32_t errWaited = TakeBackBatch()) err = errWaited;
  }
  HandBatch();
  return err;
}

void FileMetadataStore::HandBatch() {
  m_oldestInFlight = m_oldestPending;
  m_writer.Hand(m_pending);
}

uint32_t FileMetadataStore::TakeBackBatch() {
  const uint32_t err = m_writer.TakeBack(m_pending);
  if (err)
    m_oldestPending = m_oldestInFlight;
  else
    EndReading();  // the next read must not answer from a view older than the rows just written
  return err;
}

void FileMetadataStore::KeepReading() {
  const Clock::time_point now = Clock::now();
  if (m_bReading && now - m_readingSince < kMaxReadingAge) return;
  EndReading();
  m_bReading = sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  m_readingSince = now;
}

bool FileMetadataStore::FolderHasRows(std::string_view folderKey) {
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
  if (!m_db) return ERROR_SUCCESS;
  if (m_writer.Busy()) TakeBackBatch();  // a failed batch is kept, and written again below
  if (m_pending.empty()) return ERROR_SUCCESS;
  HandBatch();
  return TakeBackBatch();
}

uint32_t FileMetadataStore::Execute(const char* sql, std::string_view key) {
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

bool FileMetadataStore::KeysWithRowsBelow(const std::string& key, std::vector<std::string>& keys) {
  EndReading();  // a view as fresh as the subtree's delete would have
  KeepReading();
  BindText(m_keysBelow, 1, key);
  int rc = SQLITE_ROW;
  while ((rc = sqlite3_step(m_keysBelow)) == SQLITE_ROW) {
    const auto* pText = reinterpret_cast<const char*>(sqlite3_column_text(m_keysBelow, 0));
    keys.emplace_back(pText, static_cast<size_t>(sqlite3_column_bytes(m_keysBelow, 0)));
  }
  sqlite3_reset(m_keysBelow);
  sqlite3_clear_bindings(m_keysBelow);
  if (rc != SQLITE_DONE) return false;
  const MetadataChanges* changes[] = {&m_writer.InFlight(), &m_pending};
  for (const MetadataChanges* pChanges : changes)
    for (const auto& [changed, meta] : *pChanges)
      if (meta && IsBelow(changed, key)) keys.push_back(changed);
  return true;
}

uint32_t FileMetadataStore::Remove(const std::string& hostPath) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  std::string key(KeyOf(hostPath));
  std::vector<std::string> below;
  if (!KeysWithRowsBelow(key, below)) {
    if (uint32_t err = Flush()) return err;
    return Execute(kDeleteSubtree, key);
  }
  uint32_t err = Keep(std::move(key), std::nullopt);
  for (std::string& row : below) {
    StoredMetadata meta;
    bool bHasRow = false;
    if (FindChange(m_pending, row, meta, bHasRow) && !bHasRow) continue;  // going already
    if (const uint32_t errRow = Keep(std::move(row), std::nullopt)) err = errRow;
  }
  return err;
}

uint32_t FileMetadataStore::Rename(const std::string& from, const std::string& to) {
  if (!m_db) return ERROR_ACCESS_DENIED;
  if (uint32_t err = Flush()) return err;
  const std::string fromKey(KeyOf(from));
  const std::string toKey(KeyOf(to));
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
    err = PutMetadataRow(m_put, toKey + rows[i].key.substr(fromKey.size()), rows[i].meta);
  sqlite3_exec(m_db, err ? "ROLLBACK" : "COMMIT", nullptr, nullptr, nullptr);
  return err;
}

}  // namespace platform::emulated
