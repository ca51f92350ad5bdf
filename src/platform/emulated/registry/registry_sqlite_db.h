// The small part of SQLite the emulated registry uses, wrapped so that every failure comes back as
// a Win32 error code instead of an SQLite result: one connection with its prepared statements kept
// for reuse, one use of a statement at a time, and a transaction that rolls back unless committed.
// SQLite's own header stays inside the .cpp files of the SQLite registry.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::emulated {

// Statement slots below this number belong to SqlTransaction; callers number theirs from here.
inline constexpr size_t kFirstCallerSlot = 4;

class SqlConnection {
 public:
  SqlConnection() = default;
  ~SqlConnection();
  SqlConnection(const SqlConnection&) = delete;
  SqlConnection& operator=(const SqlConnection&) = delete;

  // Opens (or creates) the database file, waiting up to nBusyTimeoutMs for other processes' locks.
  uint32_t Open(const std::string& path, int nBusyTimeoutMs);
  // Runs statements that return no rows (schema, pragmas).
  uint32_t Execute(const char* sql, bool bWriting);
  // The prepared statement for sql, prepared on first use and kept; nSlot names it.
  sqlite3_stmt* Statement(size_t nSlot, const char* sql, uint32_t& dwError);
  int64_t LastInsertId() const;
  int Changes() const;
  // Pages in the write-ahead log after this connection's last commit; 0 before its first.
  int LogPages() const { return nLogPages_; }
  // Copies the write-ahead log into the database file and empties it; ERROR_BUSY at once, with the
  // log left as it is, while another connection reads or writes.
  uint32_t EmptyLog();

 private:
  static int OnCommit(void* pConnection, sqlite3* db, const char* dbName, int nLogPages);

  sqlite3* db_ = nullptr;
  int nBusyTimeoutMs_ = 0;
  int nLogPages_ = 0;
  std::vector<sqlite3_stmt*> statements_;
};

// One use of a prepared statement: binds parameters in order, steps, and resets the statement when
// it goes out of scope. The first failure sticks and is what Error(), Next() and Run() report.
class SqlQuery {
 public:
  SqlQuery(SqlConnection& db, size_t nSlot, const char* sql, bool bWriting);
  ~SqlQuery();
  SqlQuery(const SqlQuery&) = delete;
  SqlQuery& operator=(const SqlQuery&) = delete;

  SqlQuery& Bind(int64_t nValue);
  SqlQuery& Bind(std::string_view bytes);  // bound as a BLOB, also when empty
  // Steps once: true when a row is ready; false at the end or on failure (see Error()).
  bool Next();
  // Steps to the end (statements that change rows).
  uint32_t Run();
  uint32_t Error() const { return dwError_; }

  int64_t Int(int nColumn) const;
  bool IsNull(int nColumn) const;
  std::string Bytes(int nColumn) const;
  std::vector<uint8_t> Data(int nColumn) const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
  bool bWriting_ = false;
  int nBound_ = 0;
  uint32_t dwError_ = 0;
};

// A transaction over one public registry operation: BEGIN IMMEDIATE for writers (so that the
// busy timeout applies before anything is read) and a deferred BEGIN for readers.
class SqlTransaction {
 public:
  SqlTransaction(SqlConnection& db, bool bWriting);
  ~SqlTransaction();
  SqlTransaction(const SqlTransaction&) = delete;
  SqlTransaction& operator=(const SqlTransaction&) = delete;

  uint32_t Error() const { return dwError_; }
  uint32_t Commit();

 private:
  SqlConnection& db_;
  bool bWriting_;
  bool bOpen_ = false;
  uint32_t dwError_ = 0;
};

}  // namespace platform::emulated
