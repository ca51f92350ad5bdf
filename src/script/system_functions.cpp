// Expression functions over the running system: DoesProcessExist (a running process with that
// module base name) and GetClipboardText (the clipboard's plain text).
#include <algorithm>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"
#include "script/function_arguments.h"
#include "script/machine_function_groups.h"

namespace tarvium {
namespace {

// The module base name must match as written, without regard to case: "setup" does not find
// "setup.exe", as on Windows. The machine's listing also offers names that differ by ".exe", so
// its entries are checked again here.
void DoesProcessExist(SetupRun& run, std::string_view args, std::string& result) {
  const std::string name = FunctionArguments(args, 1).Text(0);
  std::vector<platform::ProcessEntry> entries;
  // An empty name would list every process; it names none.
  const bool bListed = !name.empty() && run.machine.Programs().EnumProcesses(name, entries) ==
                                            platform::ERROR_SUCCESS;
  result = TruthText(bListed && std::ranges::any_of(entries, [&](const auto& entry) {
                       return platform::AnsiEqualNoCase(entry.moduleName, name);
                     }));
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
