// Expression functions over the registry: DoesRegKeyExist and GetUninstallKeyName.
// DoesRegKeyExist takes a reference in one of two forms: ROOT\key[:value] (a doubled "::" leaves
// one ':' at the end of the key, as in the other registry references of a setup), or
// ROOT,key[,value] split by the argument splitter. The current user's root is the setup-service
// user's hive when the run has one, as for every other registry reference.
#include "engine/registry_operations.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "platform/ansi_case.h"
#include "platform/registry.h"
#include "script/function_arguments.h"
#include "script/machine_function_groups.h"

namespace tarvium {
namespace {

using platform::RegRoot;
using platform::RegView;

struct RegReference {
  RegRoot root = RegRoot::LocalMachine;
  std::string keyPath;
  std::string valueName;
  bool bValueNamed = false;
};

// ROOT\key, ROOT\key:value or ROOT\key::value.
RootName ParsePathForm(const std::string& text, RegReference& ref) {
  const size_t nSlash = text.find('\\');
  const RootName kind = ParseRootName(std::string_view(text).substr(0, nSlash), ref.root);
  if (kind != RootName::Supported || nSlash == std::string::npos) return kind;
  const size_t nColon = text.find(':', nSlash + 1);
  if (nColon == std::string::npos) {
    ref.keyPath = text.substr(nSlash + 1);
    return kind;
  }
  const bool bDoubled = nColon + 1 < text.size() && text[nColon + 1] == ':';
  ref.keyPath = text.substr(nSlash + 1, nColon - nSlash - 1 + (bDoubled ? 1 : 0));
  ref.valueName = text.substr(nColon + (bDoubled ? 2 : 1));
  ref.bValueNamed = true;
  return kind;
}

// The comma form starts with a root alone; a first argument with a backslash is the path form,
// whose key may itself hold commas.
RootName ParseRegReference(std::string_view args, RegReference& ref) {
  const FunctionArguments list(args, 3);
  if (list.Count() == 0) return RootName::Unknown;
  if (list.Count() == 1) return ParsePathForm(list.Text(0), ref);
  const std::string_view whole = args.substr(args.find_first_not_of(' '));
  if (list.Text(0).find('\\') != std::string::npos)
    return ParsePathForm(whole[0] == '"' || whole[0] == '\'' ? list.Text(0) : std::string(whole),
                         ref);
  ref.keyPath = list.Text(1);
  ref.bValueNamed = list.Count() == 3;
  ref.valueName = list.Text(2);
  return ParseRootName(list.Text(0), ref.root);
}

void DoesRegKeyExist(SetupRun& run, std::string_view args, std::string& result) {
  RegReference ref;
  result = "0";
  if (ParseRegReference(args, ref) != RootName::Supported) return;
  MapCurrentUserRoot(run, ref.root, ref.keyPath);
  platform::Registry& registry = run.machine.Reg();
  if (registry.OpenKey(ref.root, ref.keyPath) != platform::ERROR_SUCCESS) return;
  platform::RegValue value;
  const bool bValueThere =
      !ref.bValueNamed || ref.valueName.empty() ||
      registry.QueryValue(ref.root, ref.keyPath, ref.valueName, value) == platform::ERROR_SUCCESS;
  result = TruthText(bValueThere);
}

// "x64" (also when empty) is the 64-bit view, "x86" the 32-bit one; a 32-bit Windows has one.
RegView UninstallView(SetupRun& run, const std::string& architecture) {
  if (!RunOsVersion(run).b64Bit) return RegView::Default;
  return platform::AnsiEqualNoCase(architecture, "x86") ? RegView::View32 : RegView::View64;
}

// The display names are compared without regard to case, as Windows compares names.
void GetUninstallKeyName(SetupRun& run, std::string_view args, std::string& result) {
  result.clear();
  const FunctionArguments list(args, 2);
  const std::string displayName = list.Text(0);
  if (displayName.empty()) {
    SetupTrace(run, "GetUninstallKeyName: No value for DisplayName given\n");
    return;
  }
  SetupTrace(run, "GetUninstallKeyName: Looking for DisplayName '%s'\n", displayName.c_str());
  const RegView view = UninstallView(run, list.Text(1));
  const std::string uninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  platform::Registry& registry = run.machine.Reg();
  std::string keyName;
  for (uint32_t i = 0; registry.EnumKey(RegRoot::LocalMachine, uninstall, i, keyName, view) ==
                       platform::ERROR_SUCCESS;
       ++i) {
    platform::RegValue value;
    if (registry.QueryValue(RegRoot::LocalMachine, uninstall + "\\" + keyName, "DisplayName", value,
                            view) == platform::ERROR_SUCCESS &&
        platform::AnsiEqualNoCase(RegValueToText(run, value), displayName)) {
      result = keyName;
      return;
    }
  }
}

constexpr ExpressionFunction kFunctions[] = {
    {"DoesRegKeyExist", DoesRegKeyExist},
    {"GetUninstallKeyName", GetUninstallKeyName},
};

}  // namespace

std::span<const ExpressionFunction> RegistryFunctions() {
  return kFunctions;
}

}  // namespace tarvium
