// The SQLite table of DOS attributes and creation times, as both of its connections use it: the
// store's (reads, subtree renames and removals) and its writer's (batches of single rows). Both
// open the same file the same way, and a row is written by one statement whichever writes it.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::emulated {

struct StoredMetadata {
  uint32_t dwAttributes = 0;    // FILE_ATTRIBUTE_* other than DIRECTORY and NORMAL
  uint64_t ftCreationTime = 0;  // FILETIME
};

// Keys are looked up as views of the paths they come from, without a copy.
struct MetadataKeyHash {
  using is_transparent = void;
  size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
};

// Changes of single rows by key, not yet in the table: the row's new content, or nullopt when
// the row goes away.
using MetadataChanges = std::unordered_map<std::string, std::optional<StoredMetadata>,
                                           MetadataKeyHash, std::equal_to<>>;

inline constexpr const char* kPutMetadataRow =
    "INSERT OR REPLACE INTO file_meta VALUES(?1, ?2, ?3)";
inline constexpr const char* kDeleteMetadataRow = "DELETE FROM file_meta WHERE path = ?1";

// Opens (creating when missing) the table's file in WAL mode with the busy timeout that lets
// several processes share it. On failure `*pDb` is null and the SQLite result is returned.
int OpenMetadataTable(const std::string& file, sqlite3** pDb);

uint32_t Win32ErrorOfSqlite(int rc);
void BindText(sqlite3_stmt* stmt, int index, std::string_view text);
// Runs a prepared statement to its end and resets it for the next use.
int StepToEnd(sqlite3_stmt* stmt);
// Writes one row through a statement prepared from kPutMetadataRow.
uint32_t PutMetadataRow(sqlite3_stmt* put, const std::string& key, const StoredMetadata& meta);

}  // namespace platform::emulated
