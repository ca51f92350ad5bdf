// Comparing snapshots: files by path, and the registry through its .reg
// export read back into keys and values, names matched without regard to case as Windows does.
#include "platform/emulated/machine/snapshot_diff.h"

#include <cstdio>
#include <map>

#include "platform/ansi_case.h"
#include "platform/clock.h"
#include "platform/emulated/machine/removal_leftovers.h"
#include "platform/emulated/registry/reg_text.h"
#include "platform/emulated/registry/reg_value_text.h"
#include "platform/win_error.h"

namespace platform::emulated {
namespace {

std::string AttributeLetters(uint32_t dwAttributes) {
  std::string letters;
  const std::pair<uint32_t, char> flags[] = {{FILE_ATTRIBUTE_READONLY, 'R'},
                                             {FILE_ATTRIBUTE_HIDDEN, 'H'},
                                             {FILE_ATTRIBUTE_SYSTEM, 'S'},
                                             {FILE_ATTRIBUTE_ARCHIVE, 'A'}};
  for (const auto& [flag, letter] : flags)
    if (dwAttributes & flag) letters += letter;
  return letters.empty() ? "-" : letters;
}

std::string TimeText(uint64_t ftTime) {
  SystemTime st;
  if (!FileTimeToSystemTime(ftTime, st)) return "?";
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay,
                st.wHour, st.wMinute, st.wSecond);
  return text;
}

// Keys and values of a registry text, by upper-cased path and name, keeping the spelling.
struct RegKeyState {
  std::string path;
  std::map<std::string, std::pair<std::string, RegValue>> values;
};
using RegState = std::map<std::string, RegKeyState>;

RegState ReadRegState(const std::string& text) {
  std::vector<RegTextOp> ops;
  RegTextError error;
  ParseRegText(text, ops, error, nullptr, RegTextReading::Exact);
  RegState state;
  for (const RegTextOp& op : ops) {
    const std::string path = std::string(RegRootName(op.root)) + "\\" + op.keyPath;
    RegKeyState& key = state[AnsiUpper(path)];
    key.path = path;
    if (op.kind == RegTextOp::Kind::SetValue)
      key.values[AnsiUpper(op.valueName)] = {op.valueName, op.value};
  }
  return state;
}

std::string ValueText(const std::string& name, const RegValue& value) {
  return "\"" + (name.empty() ? "(Default)" : name) + "\" = " + RegTypeName(value.dwType) + " " +
         FormatRegData(value);
}

void DiffFiles(const MachineSnapshot& before, const MachineSnapshot& after, bool bRemoval,
               std::vector<std::string>& lines) {
  std::map<std::string, const SnapshotFile*> old, now;
  for (const SnapshotFile& file : before.files) old[AnsiUpper(file.path)] = &file;
  for (const SnapshotFile& file : after.files) now[AnsiUpper(file.path)] = &file;
  auto describe = [](const SnapshotFile& f) {
    return std::string(f.bDirectory ? "dir " : "file ") + f.path;
  };
  for (const auto& [key, file] : old)
    if (!now.count(key)) lines.push_back("- " + describe(*file));
  for (const auto& [key, file] : now) {
    auto it = old.find(key);
    if (it == old.end()) {
      if (bRemoval && !file->bDirectory && IsRemovalLeftoverFile(file->path)) continue;
      lines.push_back("+ " + describe(*file) +
                      (file->bDirectory ? ""
                                        : " (" + std::to_string(file->nSize) + " bytes, " +
                                              AttributeLetters(file->dwAttributes) + ")"));
      continue;
    }
    const SnapshotFile& was = *it->second;
    std::string changes;
    auto note = [&changes](const std::string& what, const std::string& from,
                           const std::string& to) {
      changes += (changes.empty() ? ": " : ", ") + what + " " + from + " -> " + to;
    };
    if (was.bDirectory != file->bDirectory) note("kind", describe(was), describe(*file));
    if (!file->bDirectory && was.nSize != file->nSize)
      note("size", std::to_string(was.nSize), std::to_string(file->nSize));
    if (!file->bDirectory && was.ftLastWriteTime != file->ftLastWriteTime)
      note("written", TimeText(was.ftLastWriteTime), TimeText(file->ftLastWriteTime));
    if (was.dwAttributes != file->dwAttributes)
      note("attributes", AttributeLetters(was.dwAttributes), AttributeLetters(file->dwAttributes));
    if (!changes.empty()) lines.push_back("~ " + describe(*file) + changes);
  }
}

void DiffValues(const RegKeyState& was, const RegKeyState& now, bool bRemoval,
                std::vector<std::string>& lines) {
  for (const auto& [key, value] : was.values)
    if (!now.values.count(key))
      lines.push_back("- value " + now.path + ": " + ValueText(value.first, value.second));
  for (const auto& [key, value] : now.values) {
    auto it = was.values.find(key);
    if (bRemoval && IsRemovalLeftoverValue(now.path, value.first)) continue;
    if (it == was.values.end()) {
      lines.push_back("+ value " + now.path + ": " + ValueText(value.first, value.second));
    } else if (it->second.second.dwType != value.second.dwType ||
               it->second.second.data != value.second.data) {
      lines.push_back("~ value " + now.path + ": " + ValueText(value.first, it->second.second) +
                      " -> " + RegTypeName(value.second.dwType) + " " +
                      FormatRegData(value.second));
    }
  }
}

// Whether an added key is one a removal leaves: in its place and holding only leftover values.
// The keys below it are judged on their own.
bool IsLeftoverKey(const RegKeyState& key) {
  if (!MayBeRemovalLeftoverKey(key.path)) return false;
  for (const auto& [name, value] : key.values)
    if (!IsRemovalLeftoverValue(key.path, value.first)) return false;
  return true;
}

void DiffRegistry(const MachineSnapshot& before, const MachineSnapshot& after, bool bRemoval,
                  std::vector<std::string>& lines) {
  const RegState old = ReadRegState(before.registryText);
  const RegState now = ReadRegState(after.registryText);
  for (const auto& [key, state] : old)
    if (!now.count(key)) lines.push_back("- key " + state.path);
  for (const auto& [key, state] : now) {
    auto it = old.find(key);
    if (it != old.end()) {
      DiffValues(it->second, state, bRemoval, lines);
    } else if (!bRemoval || !IsLeftoverKey(state)) {
      lines.push_back("+ key " + state.path);
      DiffValues(RegKeyState{state.path, {}}, state, bRemoval, lines);
    }
  }
}

void LeaveOutMatches(const std::vector<std::string>& patterns, std::vector<std::string>& lines) {
  std::erase_if(lines, [&patterns](const std::string& line) {
    for (const std::string& pattern : patterns)
      if (AnsiMatchesPattern(pattern, line)) return true;
    return false;
  });
}

}  // namespace

bool TakeSnapshot(EmulatedMachine& machine, MachineSnapshot& snapshot, std::string& error) {
  SnapshotScope scope;
  for (const DriveMapping& drive : machine.Config().drives)
    if (!drive.bReadOnly) scope.roots.push_back(std::string(1, drive.cLetter) + ":");
  return platform::TakeSnapshot(machine.Files(), machine.Reg(), scope, snapshot, error);
}

std::vector<std::string> DiffSnapshots(const MachineSnapshot& before, const MachineSnapshot& after,
                                       const DiffFilter& filter) {
  std::vector<std::string> lines;
  DiffFiles(before, after, filter.bRemoval, lines);
  DiffRegistry(before, after, filter.bRemoval, lines);
  LeaveOutMatches(filter.ignorePatterns, lines);
  return lines;
}

}  // namespace platform::emulated
