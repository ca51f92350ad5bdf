// One row per file, kept in the path's own tree (WITHOUT ROWID), so that adding a row writes one
// tree instead of a table and an index (a table made by an older version keeps its rowid and
// works the same). Several engine processes share the table: WAL mode, so that one writer and
// any number of readers do not wait for each other, and a busy timeout for the writers.
#include "platform/emulated/files/file_metadata_table.h"

#include <sqlite3.h>

#include "platform/win_error.h"

namespace platform::emulated {
namespace {

constexpr int kBusyTimeoutMs = 5000;

constexpr const char* kSchema =
    "PRAGMA journal_mode=WAL;"
    "PRAGMA synchronous=NORMAL;"
    "CREATE TABLE IF NOT EXISTS file_meta("
    "  path TEXT PRIMARY KEY, attributes INTEGER NOT NULL, creation INTEGER NOT NULL)"
    " WITHOUT ROWID;";

}  // namespace

int OpenMetadataTable(const std::string& file, sqlite3** pDb) {
  int rc = sqlite3_open_v2(file.c_str(), pDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_busy_timeout(*pDb, kBusyTimeoutMs);
  if (rc == SQLITE_OK) rc = sqlite3_exec(*pDb, kSchema, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_close(*pDb);
    *pDb = nullptr;
  }
  return rc;
}

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

void BindText(sqlite3_stmt* stmt, int index, std::string_view text) {
  sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int StepToEnd(sqlite3_stmt* stmt) {
  int rc = sqlite3_step(stmt);
  while (rc == SQLITE_ROW) rc = sqlite3_step(stmt);
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  return rc;
}

uint32_t PutMetadataRow(sqlite3_stmt* put, const std::string& key, const StoredMetadata& meta) {
  BindText(put, 1, key);
  sqlite3_bind_int64(put, 2, meta.dwAttributes);
  sqlite3_bind_int64(put, 3, static_cast<sqlite3_int64>(meta.ftCreationTime));
  return Win32ErrorOfSqlite(StepToEnd(put));
}

}  // namespace platform::emulated
