// A run for the copy procedure and the shared-file rules on a fresh temporary machine: the script
// and installation engines attached, the predefined variables filled from the machine, and a user
// who answers message boxes from a table (the box's default for any other number) while the run
// records what was asked.
#pragma once
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/init_variables.h"
#include "engine/setup_run.h"
#include "install/copy_file.h"
#include "install/install_engine.h"
#include "script/script_engine.h"
#include "support/answering_ui.h"
#include "support/shown_messages.h"
#include "support/test_machine.h"
#include "ui/user_interface.h"

namespace tarvium::test {

class CopyTestRun {
 public:
  explicit CopyTestRun(const platform::emulated::MachineIdentity& identity = {})
      : machine(identity) {
    InitVariables(run);
    AttachScriptEngine(run);
    AttachInstallEngine(run);
    auto pUi = std::make_unique<AnsweringUserInterface>();
    user = pUi.get();
    run.ui = std::move(pUi);
  }

  platform::FileSystem& Files() { return run.machine.Files(); }

  // Writes a file and gives it a last-write time (0 keeps the current one).
  void Write(const std::string& path, const std::string& bytes, uint64_t ftLastWrite = 0) {
    Files().CreateDirectoryTree(path.substr(0, path.rfind('\\')));
    Files().SetFileAttributes(path, platform::FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(Files().DeleteFile(path) == 0 || !Files().FileExists(path), true) << path;
    ASSERT_EQ(Files().WriteWholeFile(path, bytes), 0u) << path;
    if (ftLastWrite) {
      ASSERT_EQ(Files().SetFileTimes(path, {0, 0, ftLastWrite}), 0u) << path;
    }
  }
  std::string Read(const std::string& path) { return machine.ReadFile(path); }
  uint64_t LastWrite(const std::string& path) {
    platform::FileInfo info;
    Files().GetFileAttributesEx(path, info);
    return info.times.ftLastWriteTime;
  }

  bool Copy(const std::string& source, const std::string& destination, uint32_t dwFlags = 0,
            int64_t nSize = 0, uint32_t dwAttributes = 0) {
    CopyFileRequest request;
    request.source = source;
    request.destination = destination;
    request.dwCopyFlags = dwFlags;
    request.nExpectedSize = nSize;
    request.dwAttributes = dwAttributes;
    return CopyTheFile(run, request);
  }

  std::vector<int> Messages() const { return ShownMessageNumbers(run); }

  TestMachine machine;
  SetupRun run{machine.Machine()};
  AnsweringUserInterface* user = nullptr;
};

// A FILETIME some days after another.
inline uint64_t DaysLater(uint64_t ft, int nDays) {
  return ft + uint64_t(nDays) * 24 * 3600 * 10000000ULL;
}
inline constexpr uint64_t kJune2020 = 132361920000000000ULL;  // 2020-06-11, a plain source time

}  // namespace tarvium::test
