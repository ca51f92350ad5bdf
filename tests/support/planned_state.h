// What a plan run foresaw, read back from its JSON lines (FILE.jsonl): the state it leaves each
// file, folder, key and value in, replayed from the recorded changes in order, and its exit code.
// A line of `winmachine diff` after the real run is foreseen when the plan leaves that thing in
// the state the line shows (added or changed: there; removed: gone). Registry paths are compared
// as the snapshot names them: HKEY_CURRENT_USER is HKEY_USERS\<SID>, HKEY_CLASSES_ROOT is
// HKEY_LOCAL_MACHINE\SOFTWARE\Classes, in any case. The other way round, every file, key and value
// the plan touched must be where the plan leaves it on the machine the real run left, a value with
// the planned data.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/machine.h"

namespace tarvium::test {

class PlannedState {
 public:
  PlannedState(const std::string& jsonLines, const std::string& userSid);

  std::optional<int32_t> ExitCode() const { return exitCode_; }
  // The first subject decided twice in a row, differently ("file C:\A\b.dll: keep, then copy");
  // empty when the plan never says both.
  const std::string& Contradiction() const { return contradiction_; }
  // Empty when the diff line is foreseen, else what the plan says instead.
  std::string Unforeseen(const std::string& diffLine) const;
  // What the plan leaves otherwise than the machine after the real run, one line for each file,
  // key or value ("value HKEY_...|NAME: planned REG_SZ a, the run left REG_SZ b").
  std::vector<std::string> Unmet(platform::Machine& after) const;

 private:
  struct Event {
    bool bPresent = false;
    size_t nSequence = 0;
    std::string data;  // a value's type and data ("REG_SZ text"); empty when the plan does not say
  };
  void NoteDecision(const std::string& subject, const std::string& decision);
  void Apply(const std::string& kind, const std::string& target, const std::string& detail);
  void Set(std::map<std::string, Event>& states, const std::string& path, bool bPresent,
           std::string data = {});
  void SetKeyPresent(const std::string& key);
  std::string KeyPath(const std::string& key) const;
  // The latest event of the key or of a deletion of a key above it.
  std::optional<Event> KeyState(const std::string& key) const;
  bool FilePresent(const std::string& path, bool& bKnown) const;
  bool KeyPresent(const std::string& key, bool& bKnown) const;
  bool ValuePresent(const std::string& key, const std::string& name, bool& bKnown) const;
  std::string UnmetFile(platform::FileSystem& files, const std::string& path, bool bPlanned) const;
  std::string UnmetKey(platform::Registry& registry, const std::string& key) const;
  std::string UnmetValue(platform::Registry& registry, const std::string& id,
                         const Event& event) const;

  std::string userSid_;
  std::map<std::string, Event> files_, keys_, values_;  // by upper-case path ("KEY|NAME")
  size_t nSequence_ = 0;
  std::optional<int32_t> exitCode_;
  std::string lastSubject_, lastDecision_, contradiction_;
};

}  // namespace tarvium::test
