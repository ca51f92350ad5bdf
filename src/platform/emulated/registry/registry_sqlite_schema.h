// The storage format of the SQLite registry: its two tables and every statement it runs, each
// with the statement slot it is kept in. A key is a row of `keys` under its parent (0 for the two
// hives) with its name as created and its folded name, which is unique among its siblings; a value
// is a row of `vals` under its key, enumerated in row order, which is creation order. Names are
// BLOBs of Windows-1252 bytes. A key's last write time is the later of its own (creation, subkeys,
// deleted values) and that of its newest value, so that setting a value writes the value's page
// alone. Keys that stand behind a root are marked fixed.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/emulated/registry/registry_sqlite_db.h"

namespace platform::emulated::schema {

inline constexpr int kSchemaVersion = 1;

inline constexpr const char* kSchemaSql = R"sql(
CREATE TABLE IF NOT EXISTS keys(
  id INTEGER PRIMARY KEY,
  parent INTEGER NOT NULL,
  name BLOB NOT NULL,
  fold BLOB NOT NULL,
  volatile INTEGER NOT NULL,
  fixed INTEGER NOT NULL,
  mtime INTEGER NOT NULL,
  UNIQUE(parent, fold));
CREATE TABLE IF NOT EXISTS vals(
  id INTEGER PRIMARY KEY,
  key INTEGER NOT NULL,
  name BLOB NOT NULL,
  fold BLOB NOT NULL,
  type INTEGER NOT NULL,
  data BLOB NOT NULL,
  mtime INTEGER NOT NULL,
  UNIQUE(key, fold));
)sql";

// The keys of the subtrees below ?1 (not ?1 itself).
#define SUBTREES_OF_1                                                           \
  "WITH RECURSIVE sub(id) AS (SELECT id FROM keys WHERE parent = ?1 UNION ALL " \
  "SELECT keys.id FROM keys JOIN sub ON keys.parent = sub.id) "

enum Slot : size_t {
  kDataVersion = kFirstCallerSlot,
  kUserVersion,
  kFindChild,
  kInsertKey,
  kMarkFixed,
  kTouchKey,
  kHasSubkey,
  kDeleteKeyValues,
  kDeleteKeyRow,
  kSubtreeHasFixed,
  kDeleteSubtreeValues,
  kDeleteSubtreeKeys,
  kFindValue,
  kFindValueInRow,
  kUpsertValue,
  kDeleteValue,
  kListSubkeys,
  kListValues,
  kSubkeyInfo,
  kValueInfo,
  kKeyTime,
  kDeleteVolatileValues,
  kDeleteVolatileKeys,
  kIntegrity,
  kOrphans,
  kCountSubkeys,
  kCountValues,
};

struct Sql {
  Slot slot;
  const char* text;
};
inline constexpr Sql kSqlDataVersion{kDataVersion, "PRAGMA data_version"};
inline constexpr Sql kSqlUserVersion{kUserVersion, "PRAGMA user_version"};
inline constexpr Sql kSqlFindChild{
    kFindChild, "SELECT id, volatile, fixed FROM keys WHERE parent = ?1 AND fold = ?2"};
inline constexpr Sql kSqlInsertKey{
    kInsertKey,
    "INSERT INTO keys(parent, name, fold, volatile, fixed, mtime) VALUES(?1, ?2, ?3, ?4, ?5, ?6)"};
inline constexpr Sql kSqlMarkFixed{kMarkFixed, "UPDATE keys SET fixed = 1 WHERE id = ?1"};
inline constexpr Sql kSqlTouchKey{kTouchKey, "UPDATE keys SET mtime = ?2 WHERE id = ?1"};
inline constexpr Sql kSqlHasSubkey{kHasSubkey, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1"};
inline constexpr Sql kSqlDeleteKeyValues{kDeleteKeyValues, "DELETE FROM vals WHERE key = ?1"};
inline constexpr Sql kSqlDeleteKeyRow{kDeleteKeyRow, "DELETE FROM keys WHERE id = ?1"};
inline constexpr Sql kSqlSubtreeHasFixed{
    kSubtreeHasFixed,
    SUBTREES_OF_1 "SELECT 1 FROM sub JOIN keys USING(id) WHERE keys.fixed LIMIT 1"};
inline constexpr Sql kSqlDeleteSubtreeValues{kDeleteSubtreeValues,
                                             SUBTREES_OF_1 "DELETE FROM vals WHERE key IN sub"};
inline constexpr Sql kSqlDeleteSubtreeKeys{kDeleteSubtreeKeys,
                                           SUBTREES_OF_1 "DELETE FROM keys WHERE id IN sub"};
inline constexpr Sql kSqlFindValue{kFindValue,
                                   "SELECT type, data FROM vals WHERE key = ?1 AND fold = ?2"};
// Always one row, so that the read transaction it opens stays open until the query is reset.
inline constexpr Sql kSqlFindValueInRow{
    kFindValueInRow,
    "SELECT vals.type, vals.data FROM (SELECT 1) LEFT JOIN vals ON "
    "vals.key = ?1 AND vals.fold = ?2"};
inline constexpr Sql kSqlUpsertValue{
    kUpsertValue,
    "INSERT INTO vals(key, name, fold, type, data, mtime) VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
    "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data, "
    "mtime = excluded.mtime"};
inline constexpr Sql kSqlDeleteValue{kDeleteValue, "DELETE FROM vals WHERE key = ?1 AND fold = ?2"};
inline constexpr Sql kSqlListSubkeys{kListSubkeys,
                                     "SELECT name FROM keys WHERE parent = ?1 ORDER BY fold"};
inline constexpr Sql kSqlListValues{kListValues,
                                    "SELECT name, type, data FROM vals WHERE key = ?1 ORDER BY id"};
inline constexpr Sql kSqlSubkeyInfo{
    kSubkeyInfo, "SELECT count(*), coalesce(max(length(name)), 0) FROM keys WHERE parent = ?1"};
inline constexpr Sql kSqlValueInfo{kValueInfo,
                                   "SELECT count(*), coalesce(max(length(name)), 0), "
                                   "coalesce(max(length(data)), 0) FROM vals WHERE key = ?1"};
inline constexpr Sql kSqlCountSubkeys{kCountSubkeys, "SELECT count(*) FROM keys WHERE parent = ?1"};
inline constexpr Sql kSqlCountValues{kCountValues, "SELECT count(*) FROM vals WHERE key = ?1"};
inline constexpr Sql kSqlKeyTime{
    kKeyTime,
    "SELECT max(mtime, coalesce((SELECT max(mtime) FROM vals WHERE key = ?1), 0)) FROM keys "
    "WHERE id = ?1"};
inline constexpr Sql kSqlDeleteVolatileValues{
    kDeleteVolatileValues, "DELETE FROM vals WHERE key IN (SELECT id FROM keys WHERE volatile)"};
inline constexpr Sql kSqlDeleteVolatileKeys{kDeleteVolatileKeys, "DELETE FROM keys WHERE volatile"};
inline constexpr Sql kSqlIntegrity{kIntegrity, "PRAGMA integrity_check"};
inline constexpr Sql kSqlOrphans{
    kOrphans,
    "SELECT (SELECT count(*) FROM vals WHERE key NOT IN (SELECT id FROM keys)) + "
    "(SELECT count(*) FROM keys WHERE parent <> 0 AND parent NOT IN (SELECT id FROM keys))"};

#undef SUBTREES_OF_1

}  // namespace platform::emulated::schema
