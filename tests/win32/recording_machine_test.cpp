// The recording machine over the real Windows: a file written, a directory made and a copy made
// through it are read back through it, and a registry key made through it is enumerated with its
// value, while the scratch folder and the registry stay exactly as they were.
#include "platform/recording/recording_machine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_machine.h"
#include "support/file_system_queries.h"
#include "win32/scratch_places.h"

namespace platform {
namespace {

using tarvium::test::Names;
using tarvium::test::ScratchFolder;
using tarvium::test::UniqueTestName;

TEST(RecordingMachine, WindowsStaysAsItWasWhileTheRunSeesItsChanges) {
  ScratchFolder scratch;
  ASSERT_FALSE(scratch.Path().empty());
  ASSERT_TRUE(tarvium::test::WriteFileBytes(scratch / "source.txt", "source"));
  const std::string key = "Software\\" + UniqueTestName("TarviumRecording");
  win32::Win32Machine windows;
  RecordingMachine recorder(windows);
  FileSystem& files = recorder.Files();

  ASSERT_EQ(files.CreateDirectory(scratch / "App"), ERROR_SUCCESS);
  ASSERT_EQ(files.CopyFile(scratch / "source.txt", scratch / "App\\copy.txt", true), 0u);
  ASSERT_EQ(files.WriteWholeFile(scratch / "App\\new.txt", "new"), ERROR_SUCCESS);
  ASSERT_EQ(files.DeleteFile(scratch / "source.txt"), ERROR_SUCCESS);
  std::string bytes;
  EXPECT_EQ(files.ReadWholeFile(scratch / "App\\COPY.TXT", bytes), ERROR_SUCCESS);
  EXPECT_EQ(bytes, "source");
  uint32_t dwError = 0;
  EXPECT_EQ(Names(files, scratch / "App\\*", dwError),
            (std::vector<std::string>{".", "..", "copy.txt", "new.txt"}));
  EXPECT_EQ(Names(files, scratch / "*", dwError), (std::vector<std::string>{".", "..", "App"}));

  Registry& reg = recorder.Reg();
  ASSERT_EQ(reg.CreateKey(RegRoot::CurrentUser, key + "\\Sub"), ERROR_SUCCESS);
  ASSERT_EQ(reg.SetValue(RegRoot::CurrentUser, key, "Name", {REG_DWORD, {7, 0, 0, 0}}), 0u);
  std::string name;
  EXPECT_EQ(reg.EnumKey(RegRoot::CurrentUser, key, 0, name), ERROR_SUCCESS);
  EXPECT_EQ(name, "Sub");
  RegValue value;
  EXPECT_EQ(reg.EnumValue(RegRoot::CurrentUser, key, 0, name, value), ERROR_SUCCESS);
  EXPECT_EQ(value.data, (std::vector<uint8_t>{7, 0, 0, 0}));

  EXPECT_EQ(Names(windows.Files(), scratch / "*", dwError),
            (std::vector<std::string>{".", "..", "source.txt"}));
  EXPECT_EQ(tarvium::test::ReadFileBytes(scratch / "source.txt"), "source");
  EXPECT_EQ(windows.Reg().OpenKey(RegRoot::CurrentUser, key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(recorder.Changes().size(), 7u);  // both keys made are changes of their own
}

}  // namespace
}  // namespace platform
