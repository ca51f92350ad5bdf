// Writes batches of metadata rows on a thread of their own, so that the thread copying files does
// not spend its time in SQLite's inserts and the log's writes. One batch at a time: the owner hands
// one over, goes on, and takes it back (written, or not with its error) before it hands the next.
// Each batch has a thread of its own, which ends when the batch is written: while a process has a
// second thread the kernel makes every system call on a file descriptor dearer (the descriptor
// table is shared), and a copy makes about twenty of those per file, so a thread that stayed
// would cost the copy more than the thread start (tens of microseconds) each thousand files.
// The batches are written through a connection of their own: the owner's connection keeps its
// read transaction open between reads, which a write transaction cannot share, and WAL mode lets
// the two run side by side. It is opened at the first batch, so that a process that changes
// nothing opens nothing, and used by one batch's thread at a time.
//
// Everything else belongs to the owner's thread: the batch handed over does not change until it
// is taken back, so the owner reads it (InFlight) while the batch's thread writes it.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/emulated/files/file_metadata_table.h"

namespace platform::emulated {

class FileMetadataWriter {
 public:
  explicit FileMetadataWriter(std::string dbFile) : m_dbFile(std::move(dbFile)) {}
  // Waits for the batch in flight (a failure is lost: nobody is left to keep it).
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
  bool Done() const { return m_bFinished.load(std::memory_order_acquire); }
  // Waits for the batch in flight and takes it back. ERROR_SUCCESS when its rows are in the
  // table; otherwise its error, and its changes are moved into `unwritten`, except those of rows
  // that `unwritten` already changes (those changes are newer).
  uint32_t TakeBack(MetadataChanges& unwritten);

 private:
  // The work of a batch's thread: writes the batch, empties the one written before (freeing its
  // rows there rather than on the owner's thread) and tells that it is done.
  void WriteAndFinish();
  uint32_t WriteBatch();
  uint32_t WriteRows();
  uint32_t OpenConnection();

  const std::string m_dbFile;
  MetadataChanges m_batch;
  MetadataChanges m_written;  // the batch taken back before, emptied by the next batch's thread
  bool m_bHanded = false;
  // Used by one batch's thread at a time; read by the owner after joining it.
  sqlite3* m_db = nullptr;
  sqlite3_stmt* m_put = nullptr;
  sqlite3_stmt* m_delete = nullptr;
  uint32_t m_result = 0;
  std::atomic<bool> m_bFinished = false;
  std::thread m_thread;
};

}  // namespace platform::emulated
