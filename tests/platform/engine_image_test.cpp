// Engine images on a real temporary machine: an image placed at a Windows path and started through
// the machine's process service runs the engine binary the machine names (a stand-in here: the
// exit-code helper and a recording script), with the command line's arguments, the image's
// Windows path and the full 32-bit exit code; and the order in which the engine is found.
#include "platform/emulated/processes/engine_image.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win_error.h"
#include "support/temp_dir.h"
#include "support/test_machine.h"

namespace platform {
namespace {

using tarvium::test::TestMachine;

class EngineImageTest : public ::testing::Test {
 protected:
  EngineImageTest() {
    EXPECT_EQ(machine.Machine().Programs().PlaceEngineImage("C:\\Windows\\_UnInst.exe"),
              ERROR_SUCCESS);
    EXPECT_EQ(machine.Machine().Files().CreateDirectoryTree("C:\\Program Files\\Prod"),
              ERROR_SUCCESS);
    EXPECT_EQ(machine.Machine().Programs().PlaceEngineImage("C:\\Program Files\\Prod\\Setup.exe"),
              ERROR_SUCCESS);
  }

  // machine.ini's Engine= as an administrator edits it; the machine is opened again.
  std::unique_ptr<emulated::EmulatedMachine> WithConfiguredEngine(
      const std::string& engine, const std::vector<std::string>& hostVariables = {}) {
    return machine.OpenReconfigured([&](auto& config) { config.szEngine = engine; }, hostVariables);
  }

  // Starts a command line on the machine and waits; the exit code, or the start's error.
  static uint32_t Run(Machine& on, const std::string& commandLine, uint32_t& dwExitCode,
                      std::string* pModuleName = nullptr) {
    ProcessHandle hProcess = ProcessHandle::Invalid;
    ProcessStart start;
    start.commandLine = commandLine;
    start.environment = on.Env().Block();
    if (const uint32_t err = on.Programs().CreateProcess(start, hProcess)) return err;
    WaitResult result = WaitResult::TimedOut;
    EXPECT_EQ(on.Programs().WaitForProcess(hProcess, INFINITE, {}, result), ERROR_SUCCESS);
    EXPECT_EQ(on.Programs().GetExitCodeProcess(hProcess, dwExitCode), ERROR_SUCCESS);
    ProcessInfo info;
    on.Programs().GetProcessInfo(hProcess, info);
    if (pModuleName) *pModuleName = info.moduleName;
    return on.Programs().CloseProcess(hProcess);
  }

  TestMachine machine;
};

TEST_F(EngineImageTest, AnImageRunsTheEngineWithTheFullExitCode) {
  std::string image;
  ASSERT_EQ(machine.Machine().Files().ReadWholeFile("C:\\Windows\\_UnInst.exe", image), 0u);
  EXPECT_TRUE(IsEngineImage(image));
  EXPECT_EQ(image, EngineImageText());
  auto opened = WithConfiguredEngine(TARVIUM_EXIT_WITH_CODE);
  const std::pair<const char*, uint32_t> cases[] = {
      {"_UnInst.exe 3221225477", 0xC0000005},  // a bare name, found in the Windows directory
      {"C:\\Windows\\_UnInst.exe -1", 0xFFFFFFFF},
      {"\"C:\\Program Files\\Prod\\Setup.exe\" 6702", 6702},
      {"C:\\Windows\\_UnInst 0", 0},  // ".exe" is tried first, as for any program
  };
  for (const auto& [commandLine, dwExpected] : cases) {
    uint32_t dwExitCode = 1;
    std::string moduleName;
    ASSERT_EQ(Run(*opened, commandLine, dwExitCode, &moduleName), ERROR_SUCCESS) << commandLine;
    EXPECT_EQ(dwExitCode, dwExpected) << commandLine;
    EXPECT_NE(moduleName.find(".exe"), std::string::npos) << "the image's name, not the engine's";
  }
}

TEST_F(EngineImageTest, TheEngineGetsTheArgumentsAndTheImagePath) {
  tarvium::test::TempDir host;
  const std::string record = host.Path() + "/record.txt";
  const std::string engine = host.WriteScript(
      "engine.sh",
      "printf '%s|' \"$TARVIUM_ENGINE_IMAGE\" \"$TARVIUM_MACHINE\" \"$@\" > " + record);
  // TARVIUM_ENGINE of the invocation wins over machine.ini.
  auto opened = WithConfiguredEngine(TARVIUM_EXIT_WITH_CODE, {"TARVIUM_ENGINE=" + engine});
  uint32_t dwExitCode = 1;
  ASSERT_EQ(Run(*opened, "\"C:\\Program Files\\Prod\\Setup.exe\" /U \"a b\" /S", dwExitCode),
            ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 0u);
  EXPECT_EQ(tarvium::test::ReadHostFile(record),
            "C:\\Program Files\\Prod\\Setup.exe|" + opened->Directory() + "|/U|a b|/S|");
}

TEST_F(EngineImageTest, WithoutAnEngineTheImageIsNoProgram) {
  for (const char* engine : {"", "missing/Setup.exe", "/"}) {
    auto opened = WithConfiguredEngine(engine);
    uint32_t dwExitCode = 0;
    EXPECT_EQ(Run(*opened, "C:\\Windows\\_UnInst.exe", dwExitCode), ERROR_BAD_EXE_FORMAT) << engine;
  }
  // A relative Engine= is taken in the machine directory.
  const std::string copy = machine.Path() + "/engine-copy";
  std::filesystem::copy_file(TARVIUM_EXIT_WITH_CODE, copy);
  auto opened = WithConfiguredEngine("engine-copy");
  uint32_t dwExitCode = 0;
  ASSERT_EQ(Run(*opened, "C:\\Windows\\_UnInst.exe 42", dwExitCode), ERROR_SUCCESS);
  EXPECT_EQ(dwExitCode, 42u);
}

}  // namespace
}  // namespace platform
