// Expression functions over the running system: DoesProcessExist (a running process with that
// module name) and GetClipboardText (the clipboard's plain text).
#include "engine/setup_run.h"
#include "script/function_arguments.h"
#include "script/machine_function_groups.h"

namespace tarvium {
namespace {

void DoesProcessExist(SetupRun& run, std::string_view args, std::string& result) {
  const std::string name = FunctionArguments(args, 1).Text(0);
  std::vector<platform::ProcessEntry> entries;
  // An empty name would list every process; it names none.
  result =
      TruthText(!name.empty() &&
                run.machine.Programs().EnumProcesses(name, entries) == platform::ERROR_SUCCESS &&
                !entries.empty());
}

void GetClipboardText(SetupRun& run, std::string_view, std::string& result) {
  if (run.machine.Clip().GetClipboardText(result) != platform::ERROR_SUCCESS) result.clear();
}

constexpr ExpressionFunction kFunctions[] = {
    {"DoesProcessExist", DoesProcessExist},
    {"GetClipboardText", GetClipboardText},
};

}  // namespace

std::span<const ExpressionFunction> SystemFunctions() {
  return kFunctions;
}

}  // namespace tarvium
