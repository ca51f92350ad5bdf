#include "support/planned_state.h"

#include <algorithm>
#include <sstream>

#include "platform/ansi_case.h"

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

// "Name=REG_SZ:data" or "Name=hex(7):bytes" as the recorder writes a value: the name.
std::string ValueNameOf(const std::string& detail) {
  const size_t nNamedType = detail.rfind("=REG_");
  const size_t nNumberedType = detail.rfind("=hex(");
  const size_t nType = nNamedType == std::string::npos      ? nNumberedType
                       : nNumberedType == std::string::npos ? nNamedType
                                                            : std::max(nNamedType, nNumberedType);
  return nType == std::string::npos ? detail : detail.substr(0, nType);
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

void PlannedState::Set(std::map<std::string, Event>& states, const std::string& path,
                       bool bPresent) {
  states[path] = {bPresent, ++nSequence_};
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
    Set(values_, KeyPath(target) + "|" + Upper(ValueNameOf(detail)), true);
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

}  // namespace tarvium::test
