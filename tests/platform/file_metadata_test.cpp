// The metadata store while its writer thread has a batch in flight: rows read back at once from
// every place they can be (gathered, in flight, just written), subtree changes right after puts,
// other processes' stores seeing the rows after Flush, and a batch that fails kept for the next
// try. A second connection holds the table's write lock to keep a batch in flight, and a trigger
// makes a batch fail, so no case depends on the writer's timing.
// And the keys of the store: a path inside the machine directory is kept relative to it, a
// path beside it (a sibling whose name starts with the machine directory's) or elsewhere on the
// host keeps its whole host path, and names that begin like another name in the same folder, or
// folders that begin like another folder, never answer for each other, whether a row is read back
// from the changes gathered, from another store after Flush, or after a subtree was renamed or
// removed. Through the file system, names outside ASCII (Windows-1252 on the machine, UTF-8 on the
// host, a byte the code page leaves undefined among them) keep their attributes and creation times
// when they are made just after being found missing, looked up in another case, moved with their
// folder, and deleted and made again.
#include "platform/emulated/files/file_metadata.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "platform/emulated/files/emulated_file_system.h"
#include "platform/win_error.h"
#include "support/machine_dir.h"
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
  EXPECT_EQ(meta.ftCreationTime, MetaOf(static_cast<int>(meta.dwAttributes)).ftCreationTime)
      << path;
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

// The keys of the table as another program reads them, in order.
std::vector<std::string> KeysOnDisk(const std::string& machineDir) {
  std::vector<std::string> keys;
  sqlite3* db = nullptr;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_open((machineDir + "/files.db").c_str(), &db) == SQLITE_OK &&
      sqlite3_prepare_v2(db, "SELECT path FROM file_meta ORDER BY path", -1, &stmt, nullptr) ==
          SQLITE_OK) {
    while (sqlite3_step(stmt) == SQLITE_ROW)
      keys.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return keys;
}

TEST(FileMetadataKeys, InsideBesideAndOutsideTheMachineDirectoryKeepTheirOwnRows) {
  TempDir dir;
  const std::string machine = dir.Path() + "/m";
  tarvium::test::WriteHostFile(machine + "/machine.ini", "");
  const std::string inside = machine + "/drive_c/";
  const std::string beside = dir.Path() + "/m2/drive_c/";  // begins like the machine directory
  const std::string outside = dir.Path() + "/other/";
  struct Row {
    std::string path;
    int64_t nValue;  // -1: no row
  };
  const std::vector<Row> rows = {
      {inside + "A/f", 1},
      {inside + "A/f.txt", 2},
      {inside + "AB/f", 3},
      {beside + "A/f", 4},
      {outside + "f", 5},
      {inside + "Prob\xc3\xa9/caf\xc3\xa9", 6},
      {inside + "Prob\xc3\xa9/CAF\xc3\x89", 7},
      {inside + "\xc2\x81/x", 8},
      {machine + "/top", 9},
  };
  FileMetadataStore other(machine);
  {
    FileMetadataStore store(machine);
    for (const Row& row : rows) {
      EXPECT_EQ(AttributesIn(store, row.path), -1) << row.path;
      ASSERT_EQ(store.Put(row.path, MetaOf(static_cast<int>(row.nValue))), ERROR_SUCCESS);
    }
    for (const Row& row : rows) EXPECT_EQ(AttributesIn(store, row.path), row.nValue) << row.path;
    EXPECT_EQ(AttributesIn(store, inside + "A"), -1);
    EXPECT_EQ(AttributesIn(store, inside + "A/f.tx"), -1);
    EXPECT_EQ(AttributesIn(store, dir.Path() + "/m2/drive_c/AB/f"), -1);
    ASSERT_EQ(store.Flush(), ERROR_SUCCESS);
    EXPECT_EQ(KeysOnDisk(machine),
              (std::vector<std::string>{
                  beside + "A/f", outside + "f", "drive_c/A/f", "drive_c/A/f.txt", "drive_c/AB/f",
                  "drive_c/Prob\xc3\xa9/CAF\xc3\x89", "drive_c/Prob\xc3\xa9/caf\xc3\xa9",
                  "drive_c/\xc2\x81/x", "top"}));

    // A folder renamed and another removed take their rows along, and no row of a folder that
    // begins like them.
    ASSERT_EQ(store.Rename(inside + "A", inside + "Z"), ERROR_SUCCESS);
    ASSERT_EQ(store.Remove(inside + "Prob\xc3\xa9"), ERROR_SUCCESS);
    ASSERT_EQ(store.RenameFile(outside + "f", inside + "AB/g"), ERROR_SUCCESS);
    ASSERT_EQ(store.RemoveFile(beside + "A/f"), ERROR_SUCCESS);
  }
  ASSERT_EQ(other.Flush(), ERROR_SUCCESS);
  const std::vector<Row> after = {
      {inside + "Z/f", 1},
      {inside + "Z/f.txt", 2},
      {inside + "AB/f", 3},
      {inside + "AB/g", 5},
      {inside + "\xc2\x81/x", 8},
      {machine + "/top", 9},
      {inside + "A/f", -1},
      {inside + "A/f.txt", -1},
      {beside + "A/f", -1},
      {outside + "f", -1},
      {inside + "Prob\xc3\xa9/caf\xc3\xa9", -1},
      {inside + "Prob\xc3\xa9/CAF\xc3\x89", -1},
  };
  for (const Row& row : after) EXPECT_EQ(AttributesIn(other, row.path), row.nValue) << row.path;
}

// Attributes and creation time of a file as a file system tells them; "missing" when it has none.
std::string RowOf(FileSystem& files, const std::string& path) {
  FileInfo info;
  if (files.GetFileAttributesEx(path, info)) return "missing";
  return std::to_string(info.dwFileAttributes) + "@" + std::to_string(info.times.ftCreationTime);
}

TEST(FileMetadataKeys, NamesOutsideAsciiKeepTheirRowsThroughTheFileSystem) {
  tarvium::test::MachineDir machine;
  EmulatedFileSystem& files = machine.Files();
  struct Name {
    const char* windows;    // Windows-1252, in C:\Prob\xe9
    const char* otherCase;  // the same name as another case of it
    const char* host;       // UTF-8, in drive_c/Prob\xc3\xa9
    uint32_t dwAttributes;
  };
  const Name names[] = {
      {"caf\xe9.txt", "CAF\xc9.TXT", "caf\xc3\xa9.txt", FILE_ATTRIBUTE_READONLY},
      {"Stra\337e.txt", "STRA\337E.TXT", "Stra\303\237e.txt", FILE_ATTRIBUTE_HIDDEN},
      {"\x80uro.txt", "\x80URO.TXT", "\342\202\254uro.txt", FILE_ATTRIBUTE_SYSTEM},
      {"\x8cuvre.txt", "\x9cuvre.txt", "\xc5\x92uvre.txt", FILE_ATTRIBUTE_ARCHIVE},
      {"\x81odd.txt", "\x81ODD.TXT", "\xc2\x81odd.txt",
       FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {"plain.txt", "PLAIN.TXT", "plain.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE},
  };
  const std::string folder = "C:\\Prob\xe9\\";
  ASSERT_EQ(files.CreateDirectory("C:\\Prob\xe9"), ERROR_SUCCESS);
  uint64_t ftCreation = 0x01D5000000000000ULL;
  for (const Name& name : names) {
    EXPECT_EQ(RowOf(files, folder + name.windows), "missing") << name.windows;
    if (name.dwAttributes & FILE_ATTRIBUTE_SYSTEM) RowOf(files, "C:\\Windows\\none.txt");
    ASSERT_EQ(files.WriteWholeFile(folder + name.windows, name.host), ERROR_SUCCESS);
    EXPECT_EQ(tarvium::test::ReadHostFile(machine.Host("drive_c/Prob\xc3\xa9/") + name.host),
              name.host);
    ASSERT_EQ(files.SetFileTimes(folder + name.windows, {++ftCreation, 0, 0}), ERROR_SUCCESS);
    ASSERT_EQ(files.SetFileAttributes(folder + name.windows, name.dwAttributes), ERROR_SUCCESS);
  }
  // Moved with their folder, then one deleted and made again: it starts afresh.
  ASSERT_EQ(files.MoveFileEx("C:\\PROB\xc9", "C:\\\xc9t\xe9", 0), ERROR_SUCCESS);
  ASSERT_EQ(files.DeleteFile("C:\\\xe9t\xe9\\\x9cUVRE.TXT"), ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile("C:\\\xc9t\xe9\\\x8cuvre.txt", "again"), ERROR_SUCCESS);
  ASSERT_EQ(files.FlushMetadata(), ERROR_SUCCESS);
  EmulatedFileSystem fresh(machine.Path(), machine.Config());
  ftCreation = 0x01D5000000000000ULL;
  for (const Name& name : names) {
    const std::string expected =
        std::to_string(name.dwAttributes) + "@" + std::to_string(++ftCreation);
    for (FileSystem* pFiles :
         {static_cast<FileSystem*>(&files), static_cast<FileSystem*>(&fresh)}) {
      EXPECT_EQ(RowOf(*pFiles, folder + name.windows), "missing") << name.windows;
      const std::string moved = RowOf(*pFiles, std::string("C:\\\xc9t\xe9\\") + name.otherCase);
      if (name.dwAttributes == FILE_ATTRIBUTE_ARCHIVE) {  // the one made again
        EXPECT_EQ(moved.substr(0, moved.find('@')), "32") << name.windows;
        EXPECT_NE(moved, expected) << name.windows;
      } else {
        EXPECT_EQ(moved, expected) << name.windows;
      }
    }
  }
}

}  // namespace
}  // namespace platform::emulated
