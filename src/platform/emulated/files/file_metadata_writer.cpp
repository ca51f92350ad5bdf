// The metadata writer: a thread per batch writes it in one immediate transaction (rolled back
// whole when a row fails, so a failed batch can be written again as it is) and ends; taking the
// batch back joins it. A connection that could not be opened is tried again at the next batch,
// whose failure it is. When no thread can be started, the owner writes the batch itself as it
// hands it over.
#include "platform/emulated/files/file_metadata_writer.h"

#include <sqlite3.h>

#include <system_error>

#include "platform/win_error.h"

namespace platform::emulated {

FileMetadataWriter::~FileMetadataWriter() {
  if (m_bHanded) {
    MetadataChanges unwritten;
    TakeBack(unwritten);
  }
  sqlite3_finalize(m_put);
  sqlite3_finalize(m_delete);
  sqlite3_close(m_db);
}

void FileMetadataWriter::Hand(MetadataChanges& changes) {
  m_batch.swap(changes);  // m_batch was left empty when taken back
  m_bHanded = true;
  m_bFinished.store(false, std::memory_order_relaxed);
  try {
    m_thread = std::thread([this] { WriteAndFinish(); });
  } catch (const std::system_error&) {
    WriteAndFinish();  // no thread to be had: written here instead
  }
}

void FileMetadataWriter::WriteAndFinish() {
  m_result = WriteBatch();
  m_written.clear();
  m_bFinished.store(true, std::memory_order_release);
}

uint32_t FileMetadataWriter::TakeBack(MetadataChanges& unwritten) {
  if (m_thread.joinable()) m_thread.join();
  m_bHanded = false;
  if (m_result) {
    unwritten.merge(m_batch);  // keeps what `unwritten` has of the same rows
    m_batch.clear();
  } else {
    m_batch.swap(m_written);  // m_written was emptied by the batch's thread
  }
  return m_result;
}

uint32_t FileMetadataWriter::WriteBatch() {
  if (!m_db) {
    if (const uint32_t err = OpenConnection()) return err;
  }
  if (sqlite3_exec(m_db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
    return ERROR_BUSY;
  const uint32_t err = WriteRows();
  if (sqlite3_exec(m_db, err ? "ROLLBACK" : "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK &&
      !err)
    return ERROR_GEN_FAILURE;
  return err;
}

uint32_t FileMetadataWriter::WriteRows() {
  for (const auto& [key, meta] : m_batch) {
    uint32_t err = ERROR_SUCCESS;
    if (meta) {
      err = PutMetadataRow(m_put, key, *meta);
    } else {
      BindText(m_delete, 1, key);
      err = Win32ErrorOfSqlite(StepToEnd(m_delete));
    }
    if (err) return err;
  }
  return ERROR_SUCCESS;
}

uint32_t FileMetadataWriter::OpenConnection() {
  int rc = OpenMetadataTable(m_dbFile, &m_db);
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(m_db, kPutMetadataRow, -1, &m_put, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(m_db, kDeleteMetadataRow, -1, &m_delete, nullptr);
  if (rc == SQLITE_OK) return ERROR_SUCCESS;
  sqlite3_finalize(m_put);
  sqlite3_finalize(m_delete);
  sqlite3_close(m_db);
  m_put = m_delete = nullptr;
  m_db = nullptr;
  return Win32ErrorOfSqlite(rc);
}

}  // namespace platform::emulated
