// Win32Modules against the system: a system library loaded by path and by name and its entry
// points, the loader's errors, the trust check of unsigned files, and the paths handed to a
// module, which on Windows are the engine's own.
#include "platform/win32/win32_modules.h"

#include <gtest/gtest.h>
#include <process.h>

#include <cstdlib>
#include <string>

#include "platform/program_path.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win_error.h"
#include "win32/scratch_places.h"

namespace platform::win32 {
namespace {

using tarvium::test::ScratchFolder;

std::string SystemLibrary(const std::string& name) {
  const char* pszSystemRoot = std::getenv("SystemRoot");
  return std::string(pszSystemRoot ? pszSystemRoot : "C:\\Windows") + "\\system32\\" + name;
}

TEST(Win32Modules, LoadsASystemLibraryAndFindsItsEntryPoints) {
  Win32Modules modules;
  ModuleHandle hByPath = ModuleHandle::Invalid;
  ModuleHandle hByName = ModuleHandle::Invalid;
  ASSERT_EQ(modules.LoadLibrary(SystemLibrary("kernel32.dll"), hByPath), ERROR_SUCCESS);
  ASSERT_EQ(modules.LoadLibrary("KERNEL32.DLL", hByName), ERROR_SUCCESS);
  EXPECT_NE(hByPath, ModuleHandle::Invalid);
  EXPECT_EQ(hByName, hByPath);  // the one library the process has already

  // The entry point found is the real one: it tells this process's number.
  using GetCurrentProcessIdEntry = unsigned long(__stdcall*)();
  const auto getCurrentProcessId = reinterpret_cast<GetCurrentProcessIdEntry>(
      modules.GetProcAddress(hByPath, "GetCurrentProcessId"));
  ASSERT_NE(getCurrentProcessId, nullptr);
  EXPECT_EQ(getCurrentProcessId(), static_cast<unsigned long>(_getpid()));
  for (const char* name : {"NoSuchEntryPoint", "getcurrentprocessid", ""})
    EXPECT_EQ(modules.GetProcAddress(hByPath, name), nullptr) << name;  // names match exactly
  EXPECT_EQ(modules.GetProcAddress(ModuleHandle::Invalid, "GetCurrentProcessId"), nullptr);

  EXPECT_EQ(modules.FreeLibrary(hByName), ERROR_SUCCESS);
  EXPECT_EQ(modules.FreeLibrary(hByPath), ERROR_SUCCESS);
  EXPECT_EQ(modules.FreeLibrary(ModuleHandle::Invalid), ERROR_INVALID_HANDLE);
}

TEST(Win32Modules, ReportsTheLoadersErrors) {
  ScratchFolder folder;
  Win32FileSystem files;
  ASSERT_EQ(files.WriteWholeFile(folder / "text.dll", "MZ and nothing more"), ERROR_SUCCESS);
  // A file that is no image is ERROR_BAD_EXE_FORMAT, as Windows names it.
  const std::pair<std::string, uint32_t> cases[] = {
      {folder / "none.dll", ERROR_MOD_NOT_FOUND},
      {folder / "none\\none.dll", ERROR_MOD_NOT_FOUND},
      {"no-such-library.dll", ERROR_MOD_NOT_FOUND},
      {folder / "text.dll", ERROR_BAD_EXE_FORMAT},
  };
  Win32Modules modules;
  for (const auto& [path, dwExpected] : cases) {
    ModuleHandle hModule = static_cast<ModuleHandle>(1);
    EXPECT_EQ(modules.LoadLibrary(path, hModule), dwExpected) << path;
    EXPECT_EQ(hModule, ModuleHandle::Invalid) << path;
  }
}

TEST(Win32Modules, TrustsNoUnsignedFile) {
  ScratchFolder folder;
  Win32FileSystem files;
  ASSERT_EQ(files.CopyFile(RunningProgramHostPath(), folder / "unsigned.exe", false),
            ERROR_SUCCESS);
  ASSERT_EQ(files.WriteWholeFile(folder / "text.dll", "no image"), ERROR_SUCCESS);
  Win32Modules modules;
  EXPECT_EQ(modules.VerifyTrust(folder / "unsigned.exe"), TRUST_E_NOSIGNATURE);
  for (const char* name : {"text.dll", "none.dll"})
    EXPECT_NE(modules.VerifyTrust(folder / name), TRUST_SUCCESS) << name;
}

TEST(Win32Modules, HandsAModuleTheEnginesOwnPath) {
  ScratchFolder folder;
  Win32FileSystem files;
  Win32Modules modules;
  for (const std::string& path : {folder / "archive.rar", folder / "none\\x.rar"}) {
    std::string foreignPath = "before";
    ASSERT_EQ(modules.GetForeignPath(path, false, foreignPath), ERROR_SUCCESS) << path;
    EXPECT_EQ(foreignPath, path);
    foreignPath = "before";
    ASSERT_EQ(modules.GetForeignPath(path, true, foreignPath), ERROR_SUCCESS) << path;
    EXPECT_EQ(foreignPath, path);
  }
  // A drive that is not there cannot be written.
  std::string missingDrive;
  for (char cDrive = 'Y'; cDrive >= 'D' && missingDrive.empty(); --cDrive) {
    const std::string root = std::string(1, cDrive) + ":\\";
    if (!files.DirectoryExists(root)) missingDrive = root + "out";
  }
  ASSERT_FALSE(missingDrive.empty());
  std::string foreignPath = "before";
  EXPECT_NE(modules.GetForeignPath(missingDrive, true, foreignPath), ERROR_SUCCESS) << missingDrive;
  EXPECT_TRUE(foreignPath.empty());
  ASSERT_EQ(modules.GetForeignPath(missingDrive, false, foreignPath), ERROR_SUCCESS);
  EXPECT_EQ(foreignPath, missingDrive);
}

}  // namespace
}  // namespace platform::win32
