// Writes batches of metadata rows on a thread of its own, so that the thread copying files does
// not spend its time in SQLite's inserts and the log's writes. One batch at a time: the owner hands
// one over, goes on, and takes it back (written, or not with its error) before it hands the next.
// The thread has its own connection to the table because a connection is one transaction: the
// owner's connection keeps its read transaction open between reads, which the batch's write
// transaction cannot share, and WAL mode lets the two run side by side. The connection is opened
// on the thread at its first batch, so that a process that changes nothing starts no thread.
//
// Everything but the thread's own work belongs to the owner's thread: the batch handed over does
// not change until it is taken back, so the owner reads it (InFlight) while the thread writes it.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "platform/emulated/files/file_metadata_table.h"

namespace platform::emulated {

class FileMetadataWriter {
 public:
  explicit FileMetadataWriter(std::string dbFile) : m_dbFile(std::move(dbFile)) {}
  // Waits for the batch in flight (a failure is lost: nobody is left to keep it) and ends the
  // thread.
  ~FileMetadataWriter();
  FileMetadataWriter(const FileMetadataWriter&) = delete;
  FileMetadataWriter& operator=(const FileMetadataWriter&) = delete;

  // A batch is handed over and not yet taken back.
  bool Busy() const { return m_bHanded; }
  // The batch handed over until it is taken back, written or not (empty when none).
  const MetadataChanges& InFlight() const { return m_batch; }
  // Hands changes over to be written in one transaction, leaving `changes` empty (with the room
  // of the batch before); only when not Busy.
  void Hand(MetadataChanges& changes);
  // The batch in flight is written, or has failed: TakeBack will not wait.
  bool Done();
  // Waits for the batch in flight and takes it back. ERROR_SUCCESS when its rows are in the
  // table; otherwise its error, and its changes are moved into `unwritten`, except those of rows
  // that `unwritten` already changes (those changes are newer).
  uint32_t TakeBack(MetadataChanges& unwritten);

 private:
  enum class State { kIdle, kWriting, kDone, kStopping };
  bool StartThread();
  void Run();
  uint32_t WriteBatch();  // on the thread
  // Reports the batch's outcome to the owner.
  void Finish(uint32_t err);
  uint32_t WriteRows();
  uint32_t OpenConnection();

  const std::string m_dbFile;
  MetadataChanges m_batch;
  bool m_bHanded = false;
  // The batch written before, emptied by the thread while it writes the next (freeing its rows
  // there rather than on the owner's thread); the owner touches it only when taking a batch back.
  MetadataChanges m_written;
  // The thread's own.
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_put = nullptr;
  sqlite3_stmt* m_delete = nullptr;
  // Shared, under m_mutex.
  std::mutex m_mutex;
  std::condition_variable m_changed;
  State m_state = State::kIdle;
  uint32_t m_result = 0;
  std::thread m_thread;  // started at the first batch
};

}  // namespace platform::emulated
