// SQLite behind Win32 error codes for the emulated registry. Result codes map to what a Windows
// registry call would report for the same trouble: a lock held too long is ERROR_BUSY, a damaged
// or foreign file ERROR_REGISTRY_CORRUPT, a failed write ERROR_CANTWRITE, a full disk
// ERROR_DISK_FULL, a failed read ERROR_CANTREAD.
#include "platform/emulated/registry/registry_sqlite_db.h"

#include <sqlite3.h>

#include "platform/win_error.h"

namespace platform::emulated {
namespace {

enum TransactionSlot : size_t { kBegin, kBeginImmediate, kCommit, kRollback };

// SQLite's own default: a commit that leaves this many pages in the log copies them into the file.
constexpr int kAutoCheckpointPages = 1000;

uint32_t MapSqliteResult(int rc, bool bWriting) {
  switch (rc & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
      return ERROR_SUCCESS;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return ERROR_BUSY;
    case SQLITE_NOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_SCHEMA:
    case SQLITE_CONSTRAINT:
      return ERROR_REGISTRY_CORRUPT;
    case SQLITE_CANTOPEN:
      return ERROR_CANTOPEN;
    case SQLITE_PERM:
    case SQLITE_READONLY:
      return ERROR_ACCESS_DENIED;
    default:
      return bWriting ? ERROR_CANTWRITE : ERROR_CANTREAD;
  }
}

}  // namespace

SqlConnection::~SqlConnection() {
  for (sqlite3_stmt* stmt : statements_) sqlite3_finalize(stmt);
  sqlite3_close_v2(db_);
}

uint32_t SqlConnection::Open(const std::string& path, int nBusyTimeoutMs) {
  // Memory statistics take a global mutex on every allocation and nothing here reads them. The
  // setting is process-wide and only takes before SQLite's first use; later it is refused,
  // harmlessly.
  static const int rcConfig = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
  (void)rcConfig;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
  const int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
  if (rc != SQLITE_OK) return MapSqliteResult(rc, true);
  sqlite3_extended_result_codes(db_, 1);
  sqlite3_busy_timeout(db_, nBusyTimeoutMs);
  nBusyTimeoutMs_ = nBusyTimeoutMs;
  sqlite3_wal_hook(db_, &SqlConnection::OnCommit, this);
  return ERROR_SUCCESS;
}

// Counts the log's pages. A hook of its own replaces SQLite's automatic checkpoint, so it does
// that work too, as SQLite does it.
int SqlConnection::OnCommit(void* pConnection, sqlite3* db, const char* dbName, int nLogPages) {
  static_cast<SqlConnection*>(pConnection)->nLogPages_ = nLogPages;
  if (nLogPages >= kAutoCheckpointPages) sqlite3_wal_checkpoint(db, dbName);
  return SQLITE_OK;
}

uint32_t SqlConnection::EmptyLog() {
  sqlite3_busy_timeout(db_, 0);
  const int rc =
      sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  sqlite3_busy_timeout(db_, nBusyTimeoutMs_);
  if (rc == SQLITE_OK) nLogPages_ = 0;
  return MapSqliteResult(rc, true);
}

uint32_t SqlConnection::Execute(const char* sql, bool bWriting) {
  return MapSqliteResult(sqlite3_exec(db_, sql, nullptr, nullptr, nullptr), bWriting);
}

sqlite3_stmt* SqlConnection::Statement(size_t nSlot, const char* sql, uint32_t& dwError) {
  if (nSlot >= statements_.size()) statements_.resize(nSlot + 1, nullptr);
  if (!statements_[nSlot]) {
    const int rc =
        sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &statements_[nSlot], nullptr);
    if (rc != SQLITE_OK) {
      dwError = MapSqliteResult(rc, false);
      return nullptr;
    }
  }
  return statements_[nSlot];
}

int64_t SqlConnection::LastInsertId() const {
  return sqlite3_last_insert_rowid(db_);
}

int SqlConnection::Changes() const {
  return sqlite3_changes(db_);
}

SqlQuery::SqlQuery(SqlConnection& db, size_t nSlot, const char* sql, bool bWriting)
    : stmt_(db.Statement(nSlot, sql, dwError_)), bWriting_(bWriting) {}

SqlQuery::~SqlQuery() {
  if (stmt_) sqlite3_reset(stmt_);  // every use binds all parameters again
}

SqlQuery& SqlQuery::Bind(int64_t nValue) {
  if (!dwError_)
    dwError_ = MapSqliteResult(sqlite3_bind_int64(stmt_, ++nBound_, nValue), bWriting_);
  return *this;
}

SqlQuery& SqlQuery::Bind(std::string_view bytes) {
  static const char kEmpty = 0;  // a null pointer would bind NULL instead of an empty BLOB
  const char* pData = bytes.empty() ? &kEmpty : bytes.data();
  if (!dwError_)
    dwError_ = MapSqliteResult(
        sqlite3_bind_blob64(stmt_, ++nBound_, pData, bytes.size(), SQLITE_TRANSIENT), bWriting_);
  return *this;
}

bool SqlQuery::Next() {
  if (dwError_) return false;
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  dwError_ = MapSqliteResult(rc, bWriting_);
  return false;
}

uint32_t SqlQuery::Run() {
  while (Next()) {
  }
  return dwError_;
}

int64_t SqlQuery::Int(int nColumn) const {
  return sqlite3_column_int64(stmt_, nColumn);
}

bool SqlQuery::IsNull(int nColumn) const {
  return sqlite3_column_type(stmt_, nColumn) == SQLITE_NULL;
}

std::string SqlQuery::Bytes(int nColumn) const {
  const auto* pData = static_cast<const char*>(sqlite3_column_blob(stmt_, nColumn));
  const int nSize = sqlite3_column_bytes(stmt_, nColumn);
  return pData ? std::string(pData, static_cast<size_t>(nSize)) : std::string();
}

std::vector<uint8_t> SqlQuery::Data(int nColumn) const {
  const auto* pData = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, nColumn));
  const int nSize = sqlite3_column_bytes(stmt_, nColumn);
  return pData ? std::vector<uint8_t>(pData, pData + nSize) : std::vector<uint8_t>();
}

SqlTransaction::SqlTransaction(SqlConnection& db, bool bWriting) : db_(db), bWriting_(bWriting) {
  SqlQuery begin(db_, bWriting ? kBeginImmediate : kBegin, bWriting ? "BEGIN IMMEDIATE" : "BEGIN",
                 bWriting);
  dwError_ = begin.Run();
  bOpen_ = dwError_ == ERROR_SUCCESS;
}

SqlTransaction::~SqlTransaction() {
  if (bOpen_) SqlQuery(db_, kRollback, "ROLLBACK", bWriting_).Run();
}

uint32_t SqlTransaction::Commit() {
  if (!bOpen_) return dwError_;
  dwError_ = SqlQuery(db_, kCommit, "COMMIT", bWriting_).Run();
  bOpen_ = dwError_ != ERROR_SUCCESS;  // a failed COMMIT leaves the transaction to roll back
  return dwError_;
}

}  // namespace platform::emulated
