#include "install/system_directory.h"

#include "engine/predefined_names.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

constexpr int kSystem = PredefinedIndex("System");
constexpr int kWindows = PredefinedIndex("Windows");

bool ProbeWritable(SetupRun& run) {
  std::string probe = run.variables.ValueAt(kSystem);
  if (probe.empty()) return false;
  if (probe.back() != '\\') probe += '\\';
  probe += "~~~~@@$$.tmp";
  platform::FileSystem& files = run.machine.Files();
  platform::FileHandle hFile;
  if (files.CreateFile(probe, platform::GENERIC_WRITE, platform::CREATE_ALWAYS, 0, hFile) != 0)
    return false;
  files.CloseHandle(hFile);
  files.DeleteFile(probe);
  return true;
}

}  // namespace

bool IsSystemDirectoryWritable(SetupRun& run) {
  InstallEngine& engine = EngineOf(run);
  if (engine.nSystemWritable < 0) engine.nSystemWritable = ProbeWritable(run) ? 1 : 0;
  return engine.nSystemWritable == 1;
}

bool CopiesSystemFilesTwice(SetupRun& run) {
  return run.ctx.bAdminSetup &&
         !PathLiesIn(run.variables.ValueAt(kSystem), run.variables.ValueAt(kWindows)) &&
         IsSystemDirectoryWritable(run);
}

bool LiesInSystemDirectory(SetupRun& run, const std::string& path) {
  return PathLiesIn(path, run.variables.ValueAt(kSystem));
}

}  // namespace tarvium
