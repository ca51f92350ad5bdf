// winmachine reg: query, add, delete, export and import, with the options of Windows' reg
// command that matter here (/v, /ve, /va, /s, /t, /d, /f, /reg:32, /reg:64). winmachine never
// asks before it changes something, so /f is accepted and changes nothing.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>

#include "cli.h"
#include "platform/ansi_case.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/reg_value_text.h"
#include "platform/win_error.h"

namespace winmachine {
namespace {

using platform::RegRoot;
using platform::RegValue;
using platform::RegView;
namespace emu = platform::emulated;

struct RegKeyArg {
  RegRoot root = RegRoot::LocalMachine;
  std::string path;
};

struct RegOptions {
  std::optional<std::string> valueName;  // /v NAME, or "" for /ve
  bool bAllValues = false;               // /va
  bool bRecursive = false;               // /s on query
  std::string separator = "\\0";         // /s on add
  std::string type = "REG_SZ";           // /t
  std::optional<std::string> data;       // /d
  RegView view = RegView::Default;
};

bool ParseKeyArg(const std::string& text, RegKeyArg& key) {
  const std::pair<const char*, RegRoot> roots[] = {
      {"HKLM", RegRoot::LocalMachine},  {"HKEY_LOCAL_MACHINE", RegRoot::LocalMachine},
      {"HKCU", RegRoot::CurrentUser},   {"HKEY_CURRENT_USER", RegRoot::CurrentUser},
      {"HKCR", RegRoot::ClassesRoot},   {"HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
      {"HKU", RegRoot::Users},          {"HKEY_USERS", RegRoot::Users},
      {"HKCC", RegRoot::CurrentConfig}, {"HKEY_CURRENT_CONFIG", RegRoot::CurrentConfig}};
  const std::string ansi = FromArg(text);
  const size_t slash = ansi.find('\\');
  for (const auto& [name, root] : roots) {
    if (platform::AnsiEqualNoCase(ansi.substr(0, slash), name)) {
      key = {root, slash == std::string::npos ? "" : ansi.substr(slash + 1)};
      return true;
    }
  }
  return false;
}

// Reads the options after the key; `what` names the subcommand for messages and meanings.
bool ParseOptions(const std::string& what, const std::vector<std::string>& args, size_t first,
                  RegOptions& options, std::string& error) {
  for (size_t i = first; i < args.size(); ++i) {
    std::string option = args[i];
    if (option.size() > 1 && option[0] == '-') option[0] = '/';
    option = platform::AnsiUpper(option);
    const bool bHasValue = i + 1 < args.size();
    if (option == "/VE") {
      options.valueName = "";
    } else if (option == "/VA" && what == "delete") {
      options.bAllValues = true;
    } else if (option == "/F") {
    } else if (option == "/REG:32" || option == "/REG:64") {
      options.view = option == "/REG:32" ? RegView::View32 : RegView::View64;
    } else if (option == "/S" && what == "query") {
      options.bRecursive = true;
    } else if (bHasValue && option == "/V") {
      options.valueName = FromArg(args[++i]);
    } else if (bHasValue && option == "/S" && what == "add") {
      options.separator = FromArg(args[++i]);
    } else if (bHasValue && option == "/T" && what == "add") {
      options.type = args[++i];
    } else if (bHasValue && option == "/D" && what == "add") {
      options.data = FromArg(args[++i]);
    } else {
      error = "unknown or incomplete option '" + args[i] + "' for reg " + what;
      return false;
    }
  }
  return true;
}

std::string KeyName(const RegKeyArg& key) {
  return std::string(emu::RegRootName(key.root)) + (key.path.empty() ? "" : "\\" + key.path);
}

void PrintValue(const std::string& name, const RegValue& value) {
  PrintLine("    " + (name.empty() ? "(Default)" : name) + "    " + emu::RegTypeName(value.dwType) +
            "    " + emu::FormatRegData(value));
}

int QueryKey(platform::Registry& registry, const RegKeyArg& key, const RegOptions& options) {
  PrintLine(KeyName(key));
  std::string name;
  RegValue value;
  for (uint32_t i = 0; registry.EnumValue(key.root, key.path, i, name, value, options.view) == 0;
       ++i)
    PrintValue(name, value);
  std::printf("\n");
  for (uint32_t i = 0; registry.EnumKey(key.root, key.path, i, name, options.view) == 0; ++i) {
    const RegKeyArg subkey{key.root, key.path.empty() ? name : key.path + "\\" + name};
    if (options.bRecursive) {
      QueryKey(registry, subkey, options);
    } else {
      PrintLine(KeyName(subkey));
    }
  }
  return kExitOk;
}

int Query(platform::Registry& registry, const RegKeyArg& key, const RegOptions& options) {
  if (registry.OpenKey(key.root, key.path, options.view) != 0)
    return Fail(kExitFailed, "the key " + KeyName(key) + " does not exist");
  if (!options.valueName) return QueryKey(registry, key, options);
  RegValue value;
  if (registry.QueryValue(key.root, key.path, *options.valueName, value, options.view) != 0)
    return Fail(kExitFailed, "the value '" + *options.valueName + "' does not exist");
  PrintLine(KeyName(key));
  PrintValue(*options.valueName, value);
  return kExitOk;
}

int Add(platform::Registry& registry, const RegKeyArg& key, const RegOptions& options) {
  uint32_t dwType = 0;
  if (!emu::ParseRegTypeName(options.type, dwType))
    return Fail(kExitUsage, "unknown registry type '" + options.type + "'");
  RegValue value;
  std::string error;
  if (!emu::ParseRegData(dwType, options.data.value_or(""), options.separator, value, error))
    return Fail(kExitUsage, error);
  if (uint32_t err = registry.CreateKey(key.root, key.path, false, options.view); err != 0)
    return Fail(kExitFailed,
                "cannot create " + KeyName(key) + " (error " + std::to_string(err) + ")");
  if (!options.valueName && !options.data) return kExitOk;
  const uint32_t err =
      registry.SetValue(key.root, key.path, options.valueName.value_or(""), value, options.view);
  return err ? Fail(kExitFailed, "cannot set the value (error " + std::to_string(err) + ")")
             : kExitOk;
}

int Delete(platform::Registry& registry, const RegKeyArg& key, const RegOptions& options) {
  uint32_t err = 0;
  if (options.valueName) {
    err = registry.DeleteValue(key.root, key.path, *options.valueName, options.view);
  } else if (options.bAllValues) {
    std::string name;
    RegValue value;
    while (err == 0 && registry.EnumValue(key.root, key.path, 0, name, value, options.view) == 0)
      err = registry.DeleteValue(key.root, key.path, name, options.view);
  } else if (key.path.empty()) {
    return Fail(kExitUsage, "a whole root cannot be deleted");
  } else {
    err = registry.DeleteTree(key.root, key.path, options.view);  // the key itself goes too
  }
  if (err == platform::ERROR_FILE_NOT_FOUND)
    return Fail(kExitFailed, "the key or value does not exist in " + KeyName(key));
  return err ? Fail(kExitFailed, "cannot delete (error " + std::to_string(err) + ")") : kExitOk;
}

int Export(platform::Registry& registry, const std::vector<std::string>& args) {
  if (args.size() > 3) return Fail(kExitUsage, "reg export takes at most a key and a file");
  RegKeyArg key;
  const bool bHasKey = args.size() > 1 && ParseKeyArg(args[1], key);
  if (args.size() == 3 && !bHasKey) return Fail(kExitUsage, "'" + args[1] + "' is no registry key");
  const std::string file = args.size() > (bHasKey ? 2u : 1u) ? args.back() : "";
  std::string text;
  const uint32_t err = bHasKey ? emu::ExportRegText(registry, key.root, key.path, text)
                               : emu::ExportWholeRegistry(registry, text);
  if (err)
    return Fail(kExitFailed, "cannot export " + (bHasKey ? KeyName(key) : "the registry") +
                                 " (error " + std::to_string(err) + ")");
  if (file.empty()) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return kExitOk;
  }
  std::ofstream out(file, std::ios::binary);
  return out.write(text.data(), static_cast<std::streamsize>(text.size())) && out.flush()
             ? kExitOk
             : Fail(kExitFailed, "cannot write '" + file + "'");
}

int Import(platform::Registry& registry, const std::vector<std::string>& args) {
  if (args.size() != 2) return Fail(kExitUsage, "reg import needs one file");
  std::ifstream in(args[1], std::ios::binary);
  if (!in) return Fail(kExitFailed, "cannot read '" + args[1] + "'");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  emu::RegTextError error;
  if (uint32_t err = emu::ImportRegText(registry, bytes, error); err != 0)
    return Fail(kExitFailed,
                args[1] + (error.nLine ? ", line " + std::to_string(error.nLine) : "") + ": " +
                    (error.message.empty() ? "error " + std::to_string(err) : error.message));
  return kExitOk;
}

}  // namespace

int RegCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  if (args.empty()) return Fail(kExitUsage, "reg needs query, add, delete, export or import");
  const std::string& what = args[0];
  const bool bKeyed = what == "query" || what == "add" || what == "delete";
  if (!bKeyed && what != "export" && what != "import")
    return Fail(kExitUsage, "unknown reg operation '" + what + "'");
  RegKeyArg key;
  RegOptions options;
  std::string error;
  if (bKeyed && (args.size() < 2 || !ParseKeyArg(args[1], key)))
    return Fail(kExitUsage, "reg " + what + " needs a key such as HKLM\\Software\\Vendor");
  if (bKeyed && !ParseOptions(what, args, 2, options, error)) return Fail(kExitUsage, error);
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  platform::Registry& registry = machine->Reg();
  if (what == "query") return Query(registry, key, options);
  if (what == "add") return Add(registry, key, options);
  if (what == "delete") return Delete(registry, key, options);
  return what == "export" ? Export(registry, args) : Import(registry, args);
}

}  // namespace winmachine
