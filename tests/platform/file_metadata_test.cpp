// The metadata store while its writer thread has a batch in flight: rows read back at once from
// every place they can be (gathered, in flight, just written), subtree changes right after puts,
// other processes' stores seeing the rows after Flush, and a batch that fails kept for the next
// try. A second connection holds the table's write lock to keep a batch in flight, and a trigger
// makes a batch fail, so no case depends on the writer's timing.
#include "platform/emulated/files/file_metadata.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "platform/win_error.h"
#include "support/temp_dir.h"

namespace platform::emulated {
namespace {

using tarvium::test::TempDir;

// Another connection to files.db, as another program would open it.
class OtherConnection {
 public:
  explicit OtherConnection(const std::string& machineDir) {
    sqlite3_open((machineDir + "/files.db").c_str(), &m_db);
  }
  ~OtherConnection() { sqlite3_close(m_db); }
  int Execute(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }

 private:
  sqlite3* m_db = nullptr;
};

StoredMetadata MetaOf(int n) {
  return {static_cast<uint32_t>(n), 0x01D0000000000000ULL + static_cast<uint64_t>(n)};
}

// The attributes of a row, -1 when there is none.
int64_t AttributesIn(FileMetadataStore& store, const std::string& path) {
  StoredMetadata meta;
  if (!store.Get(path, meta)) return -1;
  EXPECT_EQ(meta.ftCreationTime, MetaOf(static_cast<int>(meta.dwAttributes)).ftCreationTime);
  return meta.dwAttributes;
}

TEST(FileMetadataStore, RowsInFlightReadBackAtOnceAndReachOtherStoresOnFlush) {
  TempDir dir;
  const auto path = [&](const std::string& name) { return dir.Path() + "/drive_c/" + name; };
  const auto file = [&](const char* folder, int i) { return path(folder + std::to_string(i)); };
  FileMetadataStore other(dir.Path());  // another process's view
  {
    FileMetadataStore store(dir.Path());
    EXPECT_EQ(AttributesIn(store, path("A/none")), -1);  // folder A has no rows in this view
    // The first batch (the 1,000th row hands it over) stays in flight while another connection
    // holds the write lock; rows changed meanwhile, in it or not, read back at once.
    OtherConnection locker(dir.Path());
    ASSERT_EQ(locker.Execute("BEGIN IMMEDIATE"), SQLITE_OK);
    for (int i = 0; i < 1000; ++i) {
      ASSERT_EQ(store.Put(file("A/f", i), MetaOf(i)), ERROR_SUCCESS);
      ASSERT_EQ(AttributesIn(store, file("A/f", i)), i);
    }
    ASSERT_EQ(store.Put(file("A/f", 0), MetaOf(7777)), ERROR_SUCCESS);
    ASSERT_EQ(store.RemoveFile(file("A/f", 1)), ERROR_SUCCESS);
    ASSERT_EQ(store.RenameFile(file("A/f", 2), path("A/moved")), ERROR_SUCCESS);
    const auto expectRows = [&](FileMetadataStore& reader, int nRows) {
      for (int i = 3; i < nRows; ++i) ASSERT_EQ(AttributesIn(reader, file("A/f", i)), i);
      EXPECT_EQ(AttributesIn(reader, file("A/f", 0)), 7777);
      EXPECT_EQ(AttributesIn(reader, file("A/f", 1)), -1);
      EXPECT_EQ(AttributesIn(reader, file("A/f", 2)), -1);
      EXPECT_EQ(AttributesIn(reader, path("A/moved")), 2);
    };
    expectRows(store, 1000);
    EXPECT_EQ(AttributesIn(other, file("A/f", 5)), -1);  // not committed yet
    ASSERT_EQ(locker.Execute("ROLLBACK"), SQLITE_OK);
    // The second batch waits for the first to be written: the first batch's rows are then read
    // from the table, in a view newer than the one that found folder A empty.
    for (int i = 1000; i < 2500; ++i)
      ASSERT_EQ(store.Put(file("A/f", i), MetaOf(i)), ERROR_SUCCESS);
    expectRows(store, 2500);
    ASSERT_EQ(store.Flush(), ERROR_SUCCESS);
    ASSERT_EQ(other.Flush(), ERROR_SUCCESS);  // leaves the view of its earlier read
    expectRows(other, 2500);

    // Subtrees renamed and removed right after puts whose batch is in flight. A rename reaches
    // the table at once; a removal's rows go with the batches, and another store sees them gone
    // once those are written.
    for (int i = 0; i < 1500; ++i) {
      ASSERT_EQ(store.Put(file("B/x", i), MetaOf(i)), ERROR_SUCCESS);
      ASSERT_EQ(store.Put(file("D/x", i), MetaOf(i)), ERROR_SUCCESS);
    }
    ASSERT_EQ(store.Rename(path("B"), path("C")), ERROR_SUCCESS);
    ASSERT_EQ(store.Remove(path("D")), ERROR_SUCCESS);
    ASSERT_EQ(other.Flush(), ERROR_SUCCESS);
    for (FileMetadataStore* pReader : {&store, &other}) {
      for (int i : {0, 999, 1000, 1499}) {
        EXPECT_EQ(AttributesIn(*pReader, file("C/x", i)), i) << i;
        EXPECT_EQ(AttributesIn(*pReader, file("B/x", i)), -1) << i;
      }
    }
    for (int i : {0, 999, 1000, 1499}) EXPECT_EQ(AttributesIn(store, file("D/x", i)), -1) << i;
    ASSERT_EQ(store.Flush(), ERROR_SUCCESS);
    ASSERT_EQ(other.Flush(), ERROR_SUCCESS);
    for (int i : {0, 999, 1000, 1499}) EXPECT_EQ(AttributesIn(other, file("D/x", i)), -1) << i;
    // Closed with a batch in flight and rows gathered behind it.
    for (int i = 0; i < 1200; ++i) ASSERT_EQ(store.Put(file("E/x", i), MetaOf(i)), ERROR_SUCCESS);
  }
  ASSERT_EQ(other.Flush(), ERROR_SUCCESS);
  for (int i = 0; i < 1200; ++i) ASSERT_EQ(AttributesIn(other, file("E/x", i)), i);
}

TEST(FileMetadataStore, AFailedBatchIsKeptWithItsErrorAndWrittenAtTheNextTry) {
  TempDir dir;
  const auto path = [&](const std::string& name) { return dir.Path() + "/drive_c/" + name; };
  const auto file = [&](int i) { return path("R/f" + std::to_string(i)); };
  FileMetadataStore store(dir.Path());
  FileMetadataStore other(dir.Path());
  OtherConnection refuser(dir.Path());
  ASSERT_EQ(refuser.Execute("CREATE TRIGGER refuse BEFORE INSERT ON file_meta"
                            " WHEN NEW.path LIKE '%refused' BEGIN SELECT RAISE(ABORT, 'no'); END"),
            SQLITE_OK);
  ASSERT_EQ(store.Put(path("R/refused"), MetaOf(1)), ERROR_SUCCESS);
  // The 1,000th row hands the batch over; it fails, and the rows that follow bring it back with
  // its error (the 2,000th at the latest, which waits for it). A row of it changed meanwhile
  // keeps its newer content.
  int nFailedPuts = 0;
  for (int i = 1; i < 2000; ++i) {
    const uint32_t err = store.Put(file(i == 1000 ? 1 : i), MetaOf(i));
    ASSERT_TRUE(err == ERROR_SUCCESS || err == ERROR_GEN_FAILURE) << err;
    nFailedPuts += err != ERROR_SUCCESS;
  }
  EXPECT_GT(nFailedPuts, 0);
  EXPECT_EQ(store.Flush(), ERROR_GEN_FAILURE);
  EXPECT_EQ(AttributesIn(store, file(500)), 500);
  EXPECT_EQ(AttributesIn(other, file(500)), -1);  // nothing of a failed batch is in the table

  ASSERT_EQ(refuser.Execute("DROP TRIGGER refuse"), SQLITE_OK);
  ASSERT_EQ(store.Flush(), ERROR_SUCCESS);
  ASSERT_EQ(other.Flush(), ERROR_SUCCESS);
  EXPECT_EQ(AttributesIn(other, path("R/refused")), 1);
  EXPECT_EQ(AttributesIn(other, file(1)), 1000);
  for (int i = 2; i < 2000; ++i) ASSERT_EQ(AttributesIn(other, file(i)), i == 1000 ? -1 : i);
}

}  // namespace
}  // namespace platform::emulated
