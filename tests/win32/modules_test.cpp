// Win32Modules against the system: the handle of a loaded library, the loader's errors on files
// of its own, the trust check of an unsigned copy of this program, and the paths handed to a
// module, which on Windows are the engine's own unless a missing volume cannot be written.
#include "platform/win32/win32_modules.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/program_path.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

using tarvium::test::ScratchFolder;

TEST(Win32Modules, LoadsLibrariesAndReportsWhatCannotBeLoaded) {
  ScratchFolder folder;
  Win32FileSystem files;
  Win32Modules modules;
  ModuleHandle hKernel = ModuleHandle::Invalid;
  ASSERT_EQ(modules.LoadLibrary("KERNEL32.DLL", hKernel), ERROR_SUCCESS);
  EXPECT_NE(modules.GetProcAddress(hKernel, "GetCurrentProcessId"), nullptr);
  EXPECT_EQ(modules.GetProcAddress(ModuleHandle::Invalid, "GetCurrentProcessId"), nullptr);
  EXPECT_EQ(modules.FreeLibrary(hKernel), ERROR_SUCCESS);
  EXPECT_EQ(modules.FreeLibrary(ModuleHandle::Invalid), ERROR_INVALID_HANDLE);

  // A file that is no image is ERROR_BAD_EXE_FORMAT, as Windows names it.
  ASSERT_EQ(files.WriteWholeFile(folder / "text.dll", "MZ and nothing more"), ERROR_SUCCESS);
  const std::pair<std::string, uint32_t> failures[] = {
      {folder / "none.dll", ERROR_MOD_NOT_FOUND},
      {folder / "text.dll", ERROR_BAD_EXE_FORMAT},
  };
  for (const auto& [path, dwExpected] : failures) {
    ModuleHandle hModule = static_cast<ModuleHandle>(1);
    EXPECT_EQ(modules.LoadLibrary(path, hModule), dwExpected) << path;
    EXPECT_EQ(hModule, ModuleHandle::Invalid) << path;
  }
  ASSERT_EQ(files.CopyFile(RunningProgramHostPath(), folder / "unsigned.exe", false),
            ERROR_SUCCESS);
  EXPECT_EQ(modules.VerifyTrust(folder / "unsigned.exe"), TRUST_E_NOSIGNATURE);
}

TEST(Win32Modules, HandsAModuleTheEnginesOwnPathUnlessItCannotBeWritten) {
  ScratchFolder folder;
  Win32Modules modules;
  for (const bool bForWriting : {false, true}) {
    std::string foreignPath = "before";
    ASSERT_EQ(modules.GetForeignPath(folder / "none\\x.rar", bForWriting, foreignPath),
              ERROR_SUCCESS);
    EXPECT_EQ(foreignPath, folder / "none\\x.rar");
  }
  Win32FileSystem files;
  std::string missingDrive;
  for (char cDrive = 'Y'; cDrive >= 'D' && missingDrive.empty(); --cDrive)
    if (!files.DirectoryExists(std::string(1, cDrive) + ":\\"))
      missingDrive = std::string(1, cDrive) + ":\\out";
  ASSERT_FALSE(missingDrive.empty());
  std::string foreignPath = "before";
  EXPECT_NE(modules.GetForeignPath(missingDrive, true, foreignPath), ERROR_SUCCESS);
  EXPECT_TRUE(foreignPath.empty());
  ASSERT_EQ(modules.GetForeignPath(missingDrive, false, foreignPath), ERROR_SUCCESS);
  EXPECT_EQ(foreignPath, missingDrive);
}

}  // namespace
}  // namespace platform::win32
