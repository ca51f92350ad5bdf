// What a Windows file has and a Linux file does not: the DOS attributes (read-only, hidden,
// system, archive, ...) and the creation time. They are kept in a small SQLite table,
// "files.db" in the machine directory, keyed by the host path (relative to the machine directory
// when the file lies inside it, so that a copied machine keeps them). A table rather than
// extended attributes: it works on every host file system, it travels with the machine
// directory, and a machine diff can read it. Renames and deletes through the emulated file system
// carry the rows along; a file changed behind the machine's back falls back to what the host
// tells (see EmulatedFileSystem).
#pragma once
#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace platform::emulated {

struct StoredMetadata {
  uint32_t dwAttributes = 0;    // FILE_ATTRIBUTE_* other than DIRECTORY and NORMAL
  uint64_t ftCreationTime = 0;  // FILETIME
};

class FileMetadataStore {
 public:
  // Opens (creating when missing) <machineDir>/files.db. When it cannot be opened, reads find
  // nothing and writes fail with ERROR_ACCESS_DENIED.
  explicit FileMetadataStore(const std::string& machineDir);
  ~FileMetadataStore();
  FileMetadataStore(const FileMetadataStore&) = delete;
  FileMetadataStore& operator=(const FileMetadataStore&) = delete;

  bool Get(const std::string& hostPath, StoredMetadata& meta);
  uint32_t Put(const std::string& hostPath, const StoredMetadata& meta);
  // Removes the row of the path and of everything below it.
  uint32_t Remove(const std::string& hostPath);
  // Moves the rows of `from` and everything below it to `to`, replacing what `to` had.
  uint32_t Rename(const std::string& from, const std::string& to);

 private:
  std::string KeyOf(const std::string& hostPath) const;
  uint32_t PutKey(const std::string& key, const StoredMetadata& meta);
  uint32_t Execute(const char* sql, const std::string& key);

  std::string m_machinePrefix;  // "<machine dir>/"
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_get = nullptr;
  sqlite3_stmt* m_put = nullptr;
};

}  // namespace platform::emulated
