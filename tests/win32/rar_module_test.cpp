// UnRAR64.dll of the Windows build as the engine uses it: loaded by the system's loader from the
// folder of Setup.exe, its four entry points found by name, and the committed RAR 4 and RAR 5
// archives unpacked through them; names that climb out of the destination, or that Windows would
// read as a device, drive or stream, stay plain files inside it.
#include <gtest/gtest.h>

#include <string>

#include "archive/unrar_api.h"
#include "platform/program_path.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_modules.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

using tarvium::test::ScratchFolder;

// The build's folder: two above this program (tests\win32\win32_tests.exe).
std::string BuildFolder() {
  std::string path = RunningProgramHostPath();
  for (int i = 0; i < 3; ++i) path.erase(path.find_last_of('\\'));
  return path;
}

class RarModule {
 public:
  explicit RarModule(Win32Modules& modules) : modules_(modules) {
    if (modules_.LoadLibrary(BuildFolder() + "\\UnRAR64.dll", hModule_) != ERROR_SUCCESS) return;
    open_ = Entry<RAROpenArchiveExProc>("RAROpenArchiveEx");
    close_ = Entry<RARCloseArchiveProc>("RARCloseArchive");
    readHeader_ = Entry<RARReadHeaderProc>("RARReadHeader");
    process_ = Entry<RARProcessFileProc>("RARProcessFile");
  }
  ~RarModule() { modules_.FreeLibrary(hModule_); }
  RarModule(const RarModule&) = delete;
  RarModule& operator=(const RarModule&) = delete;

  bool Loaded() const { return open_ && close_ && readHeader_ && process_; }

  // Every entry of the archive extracted below the folder; the first code other than success.
  int Unpack(const std::string& archive, const std::string& folder) {
    RAROpenArchiveDataEx open = {};
    open.ArcName = const_cast<char*>(archive.c_str());
    open.OpenMode = RAR_OM_EXTRACT;
    RAR_HANDLE hArchive = open_(&open);
    if (!hArchive) return static_cast<int>(open.OpenResult);
    int result = ERAR_SUCCESS;
    RARHeaderData header = {};
    while ((result = readHeader_(hArchive, &header)) == ERAR_SUCCESS) {
      result = process_(hArchive, RAR_EXTRACT, const_cast<char*>(folder.c_str()), nullptr);
      if (result != ERAR_SUCCESS) break;
    }
    close_(hArchive);
    return result == ERAR_END_ARCHIVE ? ERAR_SUCCESS : result;
  }

 private:
  template <class Proc>
  Proc Entry(const char* name) {
    return reinterpret_cast<Proc>(modules_.GetProcAddress(hModule_, name));
  }

  Win32Modules& modules_;
  ModuleHandle hModule_ = ModuleHandle::Invalid;
  RAROpenArchiveExProc open_ = nullptr;
  RARCloseArchiveProc close_ = nullptr;
  RARReadHeaderProc readHeader_ = nullptr;
  RARProcessFileProc process_ = nullptr;
};

// The module loaded, and the committed archives where the source tree lies.
class RarModuleTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!files_.FileExists(data_ + "\\tree5.rar")) GTEST_SKIP() << "no archives at " << data_;
    ASSERT_TRUE(module_.Loaded()) << BuildFolder() << "\\UnRAR64.dll";
  }
  int Unpack(const std::string& archive, const std::string& folder) {
    return module_.Unpack(data_ + "\\" + archive, folder);
  }

  Win32FileSystem files_;
  const std::string data_ = TARVIUM_RAR_TEST_DATA;
  Win32Modules modules_;
  RarModule module_{modules_};
};

TEST_F(RarModuleTest, UnpacksRar4AndRar5TreesAndKeepsClimbingNamesInside) {
  for (const char* archive : {"tree4.rar", "tree5.rar", "slip4.rar", "slip5.rar"}) {
    ScratchFolder folder;
    const std::string out = folder / "a\\b\\out";  // room above it for a name to climb into
    ASSERT_EQ(Unpack(archive, out), ERAR_SUCCESS) << archive;
    std::string text;
    if (std::string(archive).starts_with("tree")) {
      ASSERT_EQ(files_.ReadWholeFile(out + "\\readme.txt", text), ERROR_SUCCESS) << archive;
      EXPECT_EQ(text, "Tarvium test archive.\r\n");
      ASSERT_EQ(files_.ReadWholeFile(out + "\\docs\\sub\\deep.txt", text), ERROR_SUCCESS);
      EXPECT_EQ(text, "nested file, two levels down\r\n");
    } else {
      ASSERT_EQ(files_.ReadWholeFile(out + "\\evil.txt", text), ERROR_SUCCESS) << archive;
      EXPECT_EQ(text, "evil\r\n");
      for (const char* above : {"evil.txt", "a\\evil.txt", "a\\b\\evil.txt"})
        EXPECT_FALSE(files_.FileExists(folder / above)) << archive << ": " << above;
    }
  }
}

// A device name, a drive, a stream and a name outside ASCII are each a plain file of the
// destination, named as the archive's stored name reads in this program's code page.
TEST_F(RarModuleTest, NamesWindowsWouldReadOtherwiseArePlainFilesOfTheDestination) {
  ScratchFolder folder;
  ASSERT_EQ(Unpack("names5.rar", folder.Path()), ERAR_SUCCESS);
  const std::pair<const char*, const char*> written[] = {{"aux.txt", "aux\r\n"},
                                                         {"rooted.txt", "rooted\r\n"},
                                                         {"C_drive.txt", "drive\r\n"},
                                                         {"stream.txt_hidden", "stream\r\n"},
                                                         {"caf\xE9.txt", "cafe\r\n"}};
  for (const auto& [name, text] : written) {
    std::string bytes;
    // Read in the "\\?\" form, in which "aux.txt" names a file and not the device.
    EXPECT_EQ(files_.ReadWholeFile("\\\\?\\" + (folder / name), bytes), ERROR_SUCCESS) << name;
    EXPECT_EQ(bytes, text) << name;
  }
}

}  // namespace
}  // namespace platform::win32
