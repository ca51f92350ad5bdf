#include "support/planned_state.h"

#include <algorithm>
#include <sstream>

#include "platform/ansi_case.h"
#include "platform/emulated/registry/reg_value_text.h"
#include "platform/reg_root_names.h"
#include "platform/win_error.h"
#include "script/crypt/scramble_value.h"

namespace tarvium::test {
namespace {

// The field's value in one of the plan's JSON lines: a string with its escapes undone, or the
// text of a number; empty when the line lacks it.
std::string JsonField(const std::string& line, const std::string& name) {
  const std::string label = "\"" + name + "\": ";
  size_t nPos = line.find(label);
  if (nPos == std::string::npos) return "";
  nPos += label.size();
  std::string value;
  if (line[nPos] != '"') {
    while (nPos < line.size() && line[nPos] != ',' && line[nPos] != '}') value += line[nPos++];
    return value;
  }
  for (++nPos; nPos < line.size() && line[nPos] != '"'; ++nPos) {
    if (line[nPos] != '\\') {
      value += line[nPos];
    } else if (line[++nPos] == 'u') {
      value += static_cast<char>(std::stoi(line.substr(nPos + 1, 4), nullptr, 16));
      nPos += 4;
    } else {
      value += line[nPos];
    }
  }
  return value;
}

std::string Upper(const std::string& text) {
  return platform::AnsiUpper(text);
}

std::string ParentOf(const std::string& path) {
  const size_t nSlash = path.rfind('\\');
  return nSlash == std::string::npos ? "" : path.substr(0, nSlash);
}

std::string ReplacePrefix(const std::string& path, const std::string& prefix,
                          const std::string& replacement) {
  if (!platform::AnsiStartsWithNoCase(path, prefix)) return path;
  return replacement + path.substr(prefix.size());
}

// "Name=REG_SZ:data" or "Name=hex(7):bytes" as the recorder writes a value: where its type
// starts (the '='), or npos.
size_t TypeStart(const std::string& detail) {
  const size_t nNamedType = detail.rfind("=REG_");
  const size_t nNumberedType = detail.rfind("=hex(");
  return nNamedType == std::string::npos      ? nNumberedType
         : nNumberedType == std::string::npos ? nNamedType
                                              : std::max(nNamedType, nNumberedType);
}

std::string ValueNameOf(const std::string& detail) {
  return detail.substr(0, TypeStart(detail));
}

// As the machine's diff shows a value ("REG_DWORD 0x1"), with a prompt's answer unscrambled: the
// run scrambles it with its tick count, which the plan's run had another of.
std::string TypeAndData(const platform::RegValue& value) {
  std::string data = platform::emulated::FormatRegData(value);
  if (value.dwType == platform::REG_SZ && data.size() > 1 && data[0] == '*' &&
      Tarvium::IsScrambleKey(data[1]))
    data = Tarvium::ScrambleChars(std::string_view(data).substr(2), data[1]);
  return platform::emulated::RegTypeName(value.dwType) + " " + data;
}

// The recorded value's type and data as TypeAndData gives them: the recorder joins the strings of
// a REG_MULTI_SZ with '|', separates bytes with commas and writes other types by number.
std::string PlannedData(const std::string& detail) {
  const size_t nType = TypeStart(detail);
  if (nType == std::string::npos) return "";
  const std::string typed = detail.substr(nType + 1);
  const size_t nColon = typed.find(':');
  const std::string type = typed.substr(0, nColon);
  uint32_t dwType = platform::REG_BINARY;
  if (type.starts_with("hex("))
    dwType = static_cast<uint32_t>(std::stoul(type.substr(4)));
  else if (!platform::emulated::ParseRegTypeName(type, dwType))
    return typed;
  const bool bText = dwType == platform::REG_SZ || dwType == platform::REG_EXPAND_SZ ||
                     dwType == platform::REG_MULTI_SZ || dwType == platform::REG_DWORD ||
                     dwType == platform::REG_QWORD;
  platform::RegValue value;
  std::string error;
  std::string data = nColon == std::string::npos ? "" : typed.substr(nColon + 1);
  if (!bText) std::erase(data, ',');
  if (!platform::emulated::ParseRegData(bText ? dwType : platform::REG_BINARY, data, '|', value,
                                        error))
    return typed;
  value.dwType = dwType;
  return TypeAndData(value);
}

// "HKEY_LOCAL_MACHINE\SOFTWARE\A" as its root and the path below it.
bool SplitKey(const std::string& key, platform::RegRoot& root, std::string& path) {
  const size_t nSlash = key.find('\\');
  const std::optional<platform::RegRoot> named =
      platform::RegRootOfName(Upper(key.substr(0, nSlash)));
  if (!named) return false;
  root = *named;
  path = nSlash == std::string::npos ? "" : key.substr(nSlash + 1);
  return true;
}

}  // namespace

PlannedState::PlannedState(const std::string& jsonLines, const std::string& userSid)
    : userSid_(userSid) {
  std::istringstream in(jsonLines);
  for (std::string line; std::getline(in, line);) {
    const std::string type = JsonField(line, "type");
    if (type == "change")
      Apply(JsonField(line, "kind"), JsonField(line, "target"), JsonField(line, "detail"));
    else if (type == "decision" && JsonField(line, "what") == "file")
      NoteDecision(JsonField(line, "what") + " " + JsonField(line, "subject"),
                   JsonField(line, "decision"));
    else if (type == "end")
      exitCode_ = static_cast<int32_t>(std::stol(JsonField(line, "exitCode")));
  }
}

std::string PlannedState::KeyPath(const std::string& key) const {
  std::string path = ReplacePrefix(key, "HKEY_CURRENT_USER", "HKEY_USERS\\" + userSid_);
  path = ReplacePrefix(path, "HKEY_CLASSES_ROOT", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes");
  return Upper(path);
}

void PlannedState::Set(std::map<std::string, Event>& states, const std::string& path, bool bPresent,
                       std::string data) {
  states[path] = {bPresent, ++nSequence_, std::move(data)};
}

void PlannedState::Apply(const std::string& kind, const std::string& target,
                         const std::string& detail) {
  if (kind == "FileWritten" || kind == "FileCopied" || kind == "FileAttributes" ||
      kind == "FileTimes" || kind == "DirectoryCreated") {
    Set(files_, Upper(target), true);
  } else if (kind == "FileDeleted" || kind == "DirectoryRemoved") {
    Set(files_, Upper(target), false);
  } else if (kind == "FileMoved") {
    Set(files_, Upper(detail), false);
    Set(files_, Upper(target), true);
  } else if (kind == "DeferredRename") {
    // Kept where Windows keeps renames that wait for a restart.
    Set(values_,
        Upper("HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Session "
              "Manager|PendingFileRenameOperations"),
        true);
  } else if (kind == "KeyCreated") {
    SetKeyPresent(KeyPath(target));
  } else if (kind == "KeyDeleted") {
    Set(keys_, KeyPath(target), false);
  } else if (kind == "ValueSet") {
    SetKeyPresent(KeyPath(target));
    Set(values_, KeyPath(target) + "|" + Upper(ValueNameOf(detail)), true, PlannedData(detail));
  } else if (kind == "ValueDeleted") {
    Set(values_, KeyPath(target) + "|" + Upper(detail), false);
  }
}

// One copy line gets one decision: the same file decided twice in a row, differently, is a plan
// that says both. (What waits for the restart may be two steps on one file: delete, replace.)
void PlannedState::NoteDecision(const std::string& subject, const std::string& decision) {
  if (subject == lastSubject_ && decision != lastDecision_ && contradiction_.empty())
    contradiction_ = subject + ": " + lastDecision_ + ", then " + decision;
  lastSubject_ = subject;
  lastDecision_ = decision;
}

// A key is made with the keys above it that are missing.
void PlannedState::SetKeyPresent(const std::string& key) {
  for (std::string path = key; path.find('\\') != std::string::npos; path = ParentOf(path))
    Set(keys_, path, true);
}

std::optional<PlannedState::Event> PlannedState::KeyState(const std::string& key) const {
  std::optional<Event> latest;
  for (std::string path = key; !path.empty(); path = ParentOf(path)) {
    const auto it = keys_.find(path);
    if (it == keys_.end() || (path != key && it->second.bPresent)) continue;
    if (!latest || it->second.nSequence > latest->nSequence) latest = it->second;
  }
  return latest;
}

bool PlannedState::FilePresent(const std::string& path, bool& bKnown) const {
  const auto it = files_.find(Upper(path));
  bKnown = it != files_.end();
  return bKnown && it->second.bPresent;
}

bool PlannedState::KeyPresent(const std::string& key, bool& bKnown) const {
  const std::optional<Event> state = KeyState(KeyPath(key));
  bKnown = state.has_value();
  return bKnown && state->bPresent;
}

bool PlannedState::ValuePresent(const std::string& key, const std::string& name,
                                bool& bKnown) const {
  const auto it = values_.find(KeyPath(key) + "|" + Upper(name));
  const std::optional<Event> keyState = KeyState(KeyPath(key));
  const bool bKeyDeletedLater = keyState && !keyState->bPresent &&
                                (it == values_.end() || keyState->nSequence > it->second.nSequence);
  bKnown = it != values_.end() || bKeyDeletedLater;
  return it != values_.end() && !bKeyDeletedLater && it->second.bPresent;
}

std::string PlannedState::Unforeseen(const std::string& diffLine) const {
  std::istringstream words(diffLine);
  std::string sign, what;
  words >> sign >> what;
  if (sign != "+" && sign != "-" && sign != "~") return "";  // a value's text on further lines
  std::string rest = diffLine.substr(std::min(diffLine.size(), sign.size() + what.size() + 2));
  const bool bWanted = sign != "-";
  bool bKnown = false;
  bool bPresent = false;
  if (what == "file" || what == "dir") {
    // "+ file PATH (size, attributes)", "~ file PATH: what changed", "+ dir PATH".
    if (sign == "~")
      rest = rest.substr(0, rest.find(": "));
    else if (what == "file")
      rest = rest.substr(0, rest.rfind(" ("));
    bPresent = FilePresent(rest, bKnown);
  } else if (what == "key") {
    bPresent = KeyPresent(rest, bKnown);
  } else if (what == "value") {
    const size_t nName = rest.find(": \"");
    const size_t nNameEnd = rest.find('"', nName + 3);
    if (nName == std::string::npos || nNameEnd == std::string::npos) return "unread diff line";
    const std::string name = rest.substr(nName + 3, nNameEnd - nName - 3);
    bPresent = ValuePresent(rest.substr(0, nName), name == "(Default)" ? "" : name, bKnown);
  } else {
    return "unread diff line";
  }
  if (bKnown && bPresent == bWanted) return "";
  return !bKnown    ? "the plan does not touch it"
         : bPresent ? "the plan keeps it"
                    : "the plan removes it";
}

std::vector<std::string> PlannedState::Unmet(platform::Machine& after) const {
  std::vector<std::string> lines;
  auto note = [&lines](std::string line) {
    if (!line.empty()) lines.push_back(std::move(line));
  };
  for (const auto& [path, event] : files_) note(UnmetFile(after.Files(), path, event.bPresent));
  for (const auto& [key, event] : keys_) note(UnmetKey(after.Reg(), key));
  for (const auto& [id, event] : values_) note(UnmetValue(after.Reg(), id, event));
  return lines;
}

std::string PlannedState::UnmetFile(platform::FileSystem& files, const std::string& path,
                                    bool bPlanned) const {
  uint32_t dwAttributes = 0;
  const bool bThere = files.GetFileAttributes(path, dwAttributes) == platform::ERROR_SUCCESS;
  if (bThere == bPlanned) return "";
  return "file " + path +
         (bPlanned ? ": planned, the run left none" : ": planned gone, the run left it");
}

std::string PlannedState::UnmetKey(platform::Registry& registry, const std::string& key) const {
  bool bKnown = false;
  const bool bPlanned = KeyPresent(key, bKnown);
  platform::RegRoot root{};
  std::string path;
  if (!SplitKey(key, root, path)) return "key " + key + ": no such root";
  const bool bThere = registry.OpenKey(root, path) == platform::ERROR_SUCCESS;
  if (bThere == bPlanned) return "";
  return "key " + key +
         (bPlanned ? ": planned, the run left none" : ": planned gone, the run left it");
}

std::string PlannedState::UnmetValue(platform::Registry& registry, const std::string& id,
                                     const Event& event) const {
  const size_t nBar = id.find('|');
  const std::string key = id.substr(0, nBar);
  const std::string name = id.substr(nBar + 1);
  bool bKnown = false;
  const bool bPlanned = ValuePresent(key, name, bKnown);
  platform::RegRoot root{};
  std::string path;
  if (!SplitKey(key, root, path)) return "value " + id + ": no such root";
  platform::RegValue value;
  const bool bThere = registry.QueryValue(root, path, name, value) == platform::ERROR_SUCCESS;
  const std::string left = bThere ? TypeAndData(value) : "none";
  const std::string planned = !bPlanned ? "gone" : event.data;
  if (bThere == bPlanned && (!bThere || event.data.empty() || event.data == left)) return "";
  return "value " + id + ": planned " + planned + ", the run left " + left;
}

}  // namespace tarvium::test
