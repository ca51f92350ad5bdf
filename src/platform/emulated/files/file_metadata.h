// What a Windows file has and a Linux file does not: the DOS attributes (read-only, hidden,
// system, archive, ...) and the creation time. They are kept in a small SQLite table,
// "files.db" in the machine directory, keyed by the host path (relative to the machine directory
// when the file lies inside it, so that a copied machine keeps them). A table rather than
// extended attributes: it works on every host file system, it travels with the machine
// directory, and a machine diff can read it. Renames and deletes through the emulated file system
// carry the rows along; a file changed behind the machine's back falls back to what the host
// tells (see EmulatedFileSystem).
//
// Changes of single files are kept in memory and written together, so that unpacking or copying
// many files costs a few transactions instead of one each: a batch goes to the table when 1,000
// have gathered, when the oldest is half a second old (checked at the next change), on Flush and
// when the store closes. What a crash may lose is the last batch: its files are whole on the disk
// but show the attributes of files made on the host. A directory renamed moves a subtree: it
// writes the batches first and goes to the table at once. A directory removed (empty on the
// host, so what is below it in the table are the rows of its files just deleted, whose removal
// is gathered, and rows left by entries removed behind the machine's back) has its own row and
// each one still below it removed as single rows, so that removing a tree folder by folder does
// not wait for a write of the table at each folder.
//
// A batch is written by a thread of its own (FileMetadataWriter, with its own connection: this
// one keeps a read transaction open, see below), while the caller goes on copying and gathers the
// next batch. One batch is in flight at a time; a second that fills up meanwhile waits for it.
// Reads see every change at once: the changes gathered, then the batch in flight until this
// thread takes it back, then the table. Taking a written batch back ends the read transaction, so
// that no read answers from a view of the table older than that batch. A batch that fails (the
// table busy past the timeout) comes back among the changes gathered, to be written again, and
// its error is what the next Put (or Flush) returns. Flush, Remove, Rename and the store's end
// wait for the batch in flight, so that when they return everything before is in the table.
//
// Reads share one read transaction for up to a tenth of a second, which spares the locking of
// the table for each file of a copy; they see the other processes' changes that much later, and
// at once after Flush (which a program start calls, so that what it changes is seen when it ends).
// Within one such transaction, a folder found to have no rows at all answers the reads of its
// files without asking the table again (the files of installation media have none).
#pragma once
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/emulated/files/file_metadata_table.h"
#include "platform/emulated/files/file_metadata_writer.h"

namespace platform::emulated {

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
  // The row of a file (which has nothing below it): removed, or moved to `to`.
  uint32_t RemoveFile(const std::string& hostPath);
  uint32_t RenameFile(const std::string& from, const std::string& to);
  // Removes the row of the path and of everything below it.
  uint32_t Remove(const std::string& hostPath);
  // Moves the rows of `from` and everything below it to `to`, replacing what `to` had.
  uint32_t Rename(const std::string& from, const std::string& to);
  // Writes the changes kept in memory in one transaction and waits until they are in the table.
  uint32_t Flush();

 private:
  using Clock = std::chrono::steady_clock;
  std::string_view KeyOf(const std::string& hostPath) const;
  uint32_t Execute(const char* sql, std::string_view key);
  // Keeps a change of one row (nullopt: removed) and hands the batch to the writer when it is due.
  uint32_t Keep(std::string key, const std::optional<StoredMetadata>& meta);
  void HandBatch();
  // Waits for the batch in flight; a failed one is kept again with its error returned.
  uint32_t TakeBackBatch();
  // Starts the shared read transaction, or starts it afresh when it is too old.
  void KeepReading();
  void EndReading();
  bool FolderHasRows(std::string_view folderKey);
  // The keys below `key` that have a row, or will have one once the changes gathered and in
  // flight are written: the table read afresh, then those changes. False when the table could
  // not be read.
  bool KeysWithRowsBelow(const std::string& key, std::vector<std::string>& keys);
  void FinalizeStatements();

  std::string m_machinePrefix;  // "<machine dir>/"
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_get = nullptr;
  sqlite3_stmt* m_put = nullptr;
  sqlite3_stmt* m_anyBelow = nullptr;
  sqlite3_stmt* m_keysBelow = nullptr;
  MetadataChanges m_pending;
  Clock::time_point m_oldestPending;
  FileMetadataWriter m_writer;
  Clock::time_point m_oldestInFlight;
  bool m_bReading = false;
  Clock::time_point m_readingSince;
  // In the read transaction's view.
  std::unordered_set<std::string, MetadataKeyHash, std::equal_to<>> m_foldersWithoutRows;
};

}  // namespace platform::emulated
