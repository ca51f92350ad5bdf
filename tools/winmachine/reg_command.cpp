// winmachine reg: query, add, delete, export and import as Windows' reg command does them, with its
// options (/v, /ve, /va, /s, /t, /d, /f, /y, /reg:32, /reg:64). A switch given twice, or with
// one it excludes, is refused as reg refuses it. winmachine never asks before it changes
// something, so /f and /y are accepted and change nothing. Export writes UTF-16LE with a BOM as
// reg does, or UTF-8 with /utf8; import reports each line it skips on stderr and changes nothing
// when the registry refuses one of its writes.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>

#include "cli.h"
#include "platform/ansi_case.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/reg_value_text.h"
#include "platform/error_text.h"
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

struct SwitchDef {
  const char* name;  // upper case, with its slash
  bool bTakesArg;
};

// The switches after the positional arguments: upper-cased name -> argument.
using Switches = std::map<std::string, std::string>;

// Switches of which at most one may be given.
constexpr const char* kExclusive[][3] = {{"/V", "/VE", "/VA"}, {"/REG:32", "/REG:64", ""}};

bool IsSwitch(const std::string& arg) {
  return !arg.empty() && (arg[0] == '/' || arg[0] == '-');
}

bool ReadSwitches(const std::vector<std::string>& args, size_t first,
                  const std::vector<SwitchDef>& known, Switches& switches, std::string& error) {
  for (size_t i = first; i < args.size(); ++i) {
    std::string name = platform::AnsiUpper(args[i]);
    if (IsSwitch(name)) name[0] = '/';
    const SwitchDef* found = nullptr;
    for (const SwitchDef& candidate : known)
      if (name == candidate.name) found = &candidate;
    if (!found || (found->bTakesArg && i + 1 >= args.size())) {
      error = "unknown or incomplete option '" + args[i] + "'";
      return false;
    }
    if (!switches.emplace(name, found->bTakesArg ? FromArg(args[++i]) : "").second) {
      error = "option '" + args[i] + "' given twice";
      return false;
    }
  }
  for (const auto& group : kExclusive) {
    int nGiven = 0;
    for (const char* name : group) nGiven += *name && switches.count(name);
    if (nGiven > 1) {
      error = std::string("only one of ") + group[0] + ", " + group[1] + " may be given";
      return false;
    }
  }
  return true;
}

std::optional<std::string> SwitchArg(const Switches& switches, const char* name) {
  const auto it = switches.find(name);
  return it == switches.end() ? std::nullopt : std::optional<std::string>(it->second);
}

RegView ViewOf(const Switches& switches) {
  if (switches.count("/REG:32")) return RegView::View32;
  return switches.count("/REG:64") ? RegView::View64 : RegView::Default;
}

// "ROOT\path" with a root's long or short name. reg refuses remote keys ("\\PC\..."), a root
// followed by a lone backslash and a path ending in two backslashes; one trailing one is dropped.
bool ParseKeyArg(const std::string& text, RegKeyArg& key) {
  const std::pair<const char*, RegRoot> roots[] = {
      {"HKLM", RegRoot::LocalMachine},  {"HKEY_LOCAL_MACHINE", RegRoot::LocalMachine},
      {"HKCU", RegRoot::CurrentUser},   {"HKEY_CURRENT_USER", RegRoot::CurrentUser},
      {"HKCR", RegRoot::ClassesRoot},   {"HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
      {"HKU", RegRoot::Users},          {"HKEY_USERS", RegRoot::Users},
      {"HKCC", RegRoot::CurrentConfig}, {"HKEY_CURRENT_CONFIG", RegRoot::CurrentConfig}};
  const std::string ansi = FromArg(text);
  const size_t slash = ansi.find('\\');
  std::string path = slash == std::string::npos ? "" : ansi.substr(slash + 1);
  if (slash != std::string::npos && (path.empty() || path.ends_with("\\\\"))) return false;
  if (path.ends_with('\\')) path.pop_back();
  for (const auto& [name, root] : roots) {
    if (platform::AnsiEqualNoCase(ansi.substr(0, slash), name)) {
      key = {root, path};
      return true;
    }
  }
  return false;
}

std::string KeyName(const RegKeyArg& key) {
  return std::string(platform::RegRootName(key.root)) + (key.path.empty() ? "" : "\\" + key.path);
}

RegKeyArg Subkey(const RegKeyArg& key, const std::string& name) {
  return {key.root, key.path.empty() ? name : key.path + "\\" + name};
}

void PrintValue(const std::string& name, const RegValue& value) {
  PrintLine("    " + (name.empty() ? "(Default)" : name) + "    " + emu::RegTypeName(value.dwType) +
            "    " + emu::FormatRegData(value));
}

std::vector<std::string> SubkeysOf(platform::Registry& registry, const RegKeyArg& key,
                                   RegView view) {
  std::vector<std::string> names;
  std::string name;
  while (registry.EnumKey(key.root, key.path, static_cast<uint32_t>(names.size()), name, view) == 0)
    names.push_back(name);
  return names;
}

// A key's values under its name and a blank line; a key without values shows only when listed
// below a recursive query. Subkeys follow, by name or (with /s) in full.
void QueryKey(platform::Registry& registry, const RegKeyArg& key, RegView view, bool bRecursive,
              bool bNested) {
  std::vector<std::pair<std::string, RegValue>> values;
  std::string name;
  RegValue value;
  for (uint32_t i = 0; registry.EnumValue(key.root, key.path, i, name, value, view) == 0; ++i)
    values.emplace_back(name, value);
  if (!values.empty() || bNested) {
    PrintLine(KeyName(key));
    for (const auto& [valueName, data] : values) PrintValue(valueName, data);
    PrintLine("");
  }
  for (const std::string& subkey : SubkeysOf(registry, key, view)) {
    if (bRecursive)
      QueryKey(registry, Subkey(key, subkey), view, true, true);
    else
      PrintLine(KeyName(Subkey(key, subkey)));
  }
}

// The value in key and (with /s) in every key below it; the number of keys that have it.
int FindValue(platform::Registry& registry, const RegKeyArg& key, const std::string& valueName,
              RegView view, bool bRecursive) {
  int nFound = 0;
  RegValue value;
  if (registry.QueryValue(key.root, key.path, valueName, value, view) == 0) {
    PrintLine(KeyName(key));
    PrintValue(valueName, value);
    PrintLine("");
    ++nFound;
  }
  if (bRecursive)
    for (const std::string& subkey : SubkeysOf(registry, key, view))
      nFound += FindValue(registry, Subkey(key, subkey), valueName, view, true);
  return nFound;
}

int Query(platform::Registry& registry, const RegKeyArg& key, const Switches& switches) {
  const RegView view = ViewOf(switches);
  const bool bRecursive = switches.count("/S") != 0;
  if (registry.OpenKey(key.root, key.path, view) != 0)
    return Fail(kExitFailed, "the key " + KeyName(key) + " does not exist");
  const std::optional<std::string> valueName =
      switches.count("/VE") ? std::optional<std::string>("") : SwitchArg(switches, "/V");
  PrintLine("");
  if (!valueName) {
    QueryKey(registry, key, view, bRecursive, false);
    return kExitOk;
  }
  const int nFound = FindValue(registry, key, *valueName, view, bRecursive);
  if (bRecursive) PrintLine("End of search: " + std::to_string(nFound) + " match(es) found.");
  if (nFound == 0 && valueName->empty() && !bRecursive) {  // reg shows a missing default
    PrintLine(KeyName(key));
    PrintLine("    (Default)    REG_SZ    (value not set)");
    PrintLine("");
    return kExitOk;
  }
  return nFound ? kExitOk : Fail(kExitFailed, "the value '" + *valueName + "' does not exist");
}

int Add(platform::Registry& registry, const RegKeyArg& key, const Switches& switches) {
  const std::string type = SwitchArg(switches, "/T").value_or("REG_SZ");
  uint32_t dwType = 0;
  if (!emu::ParseRegTypeName(type, dwType))
    return Fail(kExitUsage, "unknown registry type '" + type + "'");
  const std::optional<std::string> separator = SwitchArg(switches, "/S");
  if (separator && separator->size() != 1)
    return Fail(kExitUsage, "the separator of /s must be one character");
  const std::optional<std::string> data = SwitchArg(switches, "/D");
  RegValue value;
  std::string error;
  if (!emu::ParseRegData(dwType, data ? std::optional<std::string_view>(*data) : std::nullopt,
                         separator ? std::optional<char>((*separator)[0]) : std::nullopt, value,
                         error))
    return Fail(kExitUsage, error);
  const RegView view = ViewOf(switches);
  if (uint32_t err = registry.CreateKey(key.root, key.path, false, view); err != 0)
    return Fail(kExitFailed,
                "cannot create " + KeyName(key) + " (" + platform::ErrorCodeText(err) + ")");
  const std::string name = SwitchArg(switches, "/V").value_or("");  // the default value otherwise
  const uint32_t err = registry.SetValue(key.root, key.path, name, value, view);
  return err ? Fail(kExitFailed, "cannot set the value (" + platform::ErrorCodeText(err) + ")")
             : kExitOk;
}

uint32_t DeleteAllValues(platform::Registry& registry, const RegKeyArg& key, RegView view) {
  std::string name;
  RegValue value;
  uint32_t err = 0;
  while (err == 0 && registry.EnumValue(key.root, key.path, 0, name, value, view) == 0)
    err = registry.DeleteValue(key.root, key.path, name, view);
  return err;
}

int Delete(platform::Registry& registry, const RegKeyArg& key, const Switches& switches) {
  const RegView view = ViewOf(switches);
  const std::optional<std::string> valueName =
      switches.count("/VE") ? std::optional<std::string>("") : SwitchArg(switches, "/V");
  if (!valueName && !switches.count("/VA") && key.path.empty())
    return Fail(kExitUsage, "a whole root cannot be deleted");
  uint32_t err = registry.OpenKey(key.root, key.path, view);
  if (!err && valueName)
    err = registry.DeleteValue(key.root, key.path, *valueName, view);
  else if (!err && switches.count("/VA"))
    err = DeleteAllValues(registry, key, view);
  else if (!err)
    err = registry.DeleteTree(key.root, key.path, view);  // the key itself goes too
  if (err == platform::ERROR_FILE_NOT_FOUND)
    return Fail(kExitFailed, "the key or value does not exist in " + KeyName(key));
  return err ? Fail(kExitFailed, "cannot delete (" + platform::ErrorCodeText(err) + ")") : kExitOk;
}

bool WriteFile(const std::string& file, const std::string& bytes) {
  if (file == "-") return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
  std::ofstream out(file, std::ios::binary);
  return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush();
}

const std::vector<SwitchDef> kExportSwitches = {
    {"/Y", false}, {"/REG:32", false}, {"/REG:64", false}, {"/UTF8", false}};

// One of known, also when written with "-"; a host path starting with "/" is none.
bool IsSwitchOf(const std::string& arg, const std::vector<SwitchDef>& known) {
  std::string name = platform::AnsiUpper(arg);
  if (IsSwitch(name)) name[0] = '/';
  for (const SwitchDef& candidate : known)
    if (name == candidate.name) return true;
  return false;
}

int Export(platform::Registry& registry, const std::vector<std::string>& args) {
  RegKeyArg key;
  Switches switches;
  std::string error;
  if (args.size() < 3 || IsSwitchOf(args[1], kExportSwitches) ||
      IsSwitchOf(args[2], kExportSwitches))
    return Fail(kExitUsage, "reg export needs a key and a file, then its options");
  if (!ReadSwitches(args, 3, kExportSwitches, switches, error)) return Fail(kExitUsage, error);
  if (!ParseKeyArg(args[1], key)) return Fail(kExitUsage, "'" + args[1] + "' is no registry key");
  std::string text;
  if (uint32_t err = platform::ExportRegText(registry, key.root, key.path, text, ViewOf(switches)))
    return Fail(kExitFailed,
                "cannot export " + KeyName(key) + " (" + platform::ErrorCodeText(err) + ")");
  const std::string bytes = switches.count("/UTF8") ? text : platform::RegTextAsUtf16(text);
  return WriteFile(args[2], bytes) ? kExitOk : Fail(kExitFailed, "cannot write '" + args[2] + "'");
}

int Import(platform::Registry& registry, const std::vector<std::string>& args) {
  if (args.size() != 2) return Fail(kExitUsage, "reg import needs one file (and takes no options)");
  const std::string& file = args[1];
  std::ifstream in(file, std::ios::binary);
  if (!in) return Fail(kExitFailed, "cannot read '" + file + "'");
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  emu::RegTextError error;
  std::vector<emu::RegTextError> skipped;
  const uint32_t err = emu::ImportRegText(registry, bytes, error, RegView::Default, &skipped);
  for (const emu::RegTextError& line : skipped)
    Fail(kExitOk,
         file + ", line " + std::to_string(line.nLine) + ": " + line.message + " (line skipped)");
  if (err == platform::ERROR_INVALID_DATA && skipped.empty() && error.nLine == 1)
    return Fail(kExitFailed, file + ", line 1: " + error.message);
  if (err)
    return Fail(kExitFailed, file + ", line " + std::to_string(error.nLine) + ": " + error.message +
                                 "; nothing of the file was imported");
  return kExitOk;
}

int RunKeyed(platform::Registry& registry, const std::string& what, const RegKeyArg& key,
             const Switches& switches) {
  if (what == "query") return Query(registry, key, switches);
  if (what == "add") return Add(registry, key, switches);
  return Delete(registry, key, switches);
}

const std::map<std::string, std::vector<SwitchDef>> kKeyedSwitches = {
    {"query",
     {{"/V", true}, {"/VE", false}, {"/S", false}, {"/REG:32", false}, {"/REG:64", false}}},
    {"add",
     {{"/V", true},
      {"/VE", false},
      {"/T", true},
      {"/S", true},
      {"/D", true},
      {"/F", false},
      {"/REG:32", false},
      {"/REG:64", false}}},
    {"delete",
     {{"/V", true},
      {"/VE", false},
      {"/VA", false},
      {"/F", false},
      {"/REG:32", false},
      {"/REG:64", false}}},
};

}  // namespace

int RegCommand(const Invocation& invocation) {
  const auto& args = invocation.args;
  if (args.empty()) return Fail(kExitUsage, "reg needs query, add, delete, export or import");
  const std::string& what = args[0];
  const auto keyed = kKeyedSwitches.find(what);
  if (keyed == kKeyedSwitches.end() && what != "export" && what != "import")
    return Fail(kExitUsage, "unknown reg operation '" + what + "'");
  RegKeyArg key;
  Switches switches;
  std::string error;
  if (keyed != kKeyedSwitches.end()) {
    if (args.size() < 2 || !ParseKeyArg(args[1], key))
      return Fail(kExitUsage, "reg " + what + " needs a key such as HKLM\\Software\\Vendor");
    if (!ReadSwitches(args, 2, keyed->second, switches, error))
      return Fail(kExitUsage, "reg " + what + ": " + error);
  }
  auto machine = OpenMachine(invocation);
  if (!machine) return kExitFailed;
  platform::Registry& registry = machine->Reg();
  if (keyed != kKeyedSwitches.end()) return RunKeyed(registry, what, key, switches);
  return what == "export" ? Export(registry, args) : Import(registry, args);
}

}  // namespace winmachine
