#include "script/folder_variables.h"

#include <algorithm>

#include "engine/setup_run.h"
#include "platform/ansi_case.h"

namespace tarvium {
namespace {

// The product's own directories and the setup file are no machine folders.
bool IsProductVariable(std::string_view name) {
  for (std::string_view own : {"SetupInf", "SetupInfDir", "Src", "SrcDir", "App", "ApplicationDir",
                               "Client", "ClientSrcDir", "Data", "DataDir"})
    if (platform::AnsiEqualNoCase(name, own)) return true;
  return false;
}

std::string_view WithoutTrailingBackslash(std::string_view path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  return path;
}

}  // namespace

std::vector<FolderVariable> FolderVariables(SetupRun& run) {
  std::vector<FolderVariable> folders;
  for (const PredefinedName& predefined : PredefinedNames()) {
    if (!predefined.bDirectory || IsProductVariable(predefined.name)) continue;
    const std::string_view value = WithoutTrailingBackslash(run.variables.Get(predefined.name));
    if (!value.empty()) folders.push_back({predefined.name, std::string(value)});
  }
  std::stable_sort(folders.begin(), folders.end(),
                   [](const FolderVariable& a, const FolderVariable& b) {
                     return a.value.size() > b.value.size();
                   });
  return folders;
}

bool IsProtectedDirectory(SetupRun& run, std::string_view path) {
  const std::string_view target = WithoutTrailingBackslash(path);
  std::string temp;
  if (run.machine.Files().GetTempPath(temp) == 0 &&
      platform::AnsiEqualNoCase(WithoutTrailingBackslash(temp), target))
    return true;
  for (const PredefinedName& predefined : PredefinedNames()) {
    if (!predefined.bDirectory || IsProductVariable(predefined.name)) continue;
    const std::string_view value = WithoutTrailingBackslash(run.variables.Get(predefined.name));
    if (!value.empty() && platform::AnsiEqualNoCase(value, target)) return true;
  }
  return false;
}

std::string CollapseFolderPrefix(SetupRun& run, const std::string& text) {
  for (const FolderVariable& folder : FolderVariables(run)) {
    if (!platform::AnsiStartsWithNoCase(text, folder.value)) continue;
    const size_t nEnd = folder.value.size();
    if (nEnd < text.size() && text[nEnd] != '\\' && text[nEnd] != ';') continue;
    return "%" + std::string(folder.name) + "%" + text.substr(nEnd);
  }
  return text;
}

}  // namespace tarvium
