// One script command being run: the line with its name split off, what the pass rule decided
// about it, and the services every handler shares (argument forms, the missing-argument
// message). The command table maps each name to its pass rule and handler; the handlers are
// grouped by family in the *_commands.cpp files, each registering its family through one
// function, so the table is the one place that lists the vocabulary.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvium {

struct SetupRun;

// When a line of a command runs.
enum class PassRule {
  InPass,            // only when the line belongs to this pass
  UndoInRemoval,     // in its pass; an unmarked line in the removal pass undoes it
  Both,              // in both passes, the mark ignored
  BothMarkedOnly,    // unmarked in both passes (inverted in removal); marked only in removal
  EveryPassBelow10,  // every pass for syntax versions below 10.00, else only in its pass
};

struct CommandCall {
  SetupRun& run;
  std::string written;    // the line as the section holds it, for messages
  std::string line;       // the line after variable replacement, without the reverse mark
  std::string name;       // the command name as written
  std::string arguments;  // the text after the name
  bool bMarked = false;   // the line carried the reverse mark
  bool bUndo = false;     // an unmarked line met in the removal pass, for a command that undoes
  bool bSizing = false;
  int64_t* pnBytes = nullptr;  // the byte count of the sizing mode
  std::string systemError;     // a system handler's failure text, for message 5561
};

using CommandHandler = bool (*)(CommandCall& call);

// How a command's handler splits its arguments (see the argument forms below).
enum class ArgumentForm { Free, Words, Text, List, Paths };

inline constexpr size_t kAnyArgumentCount = SIZE_MAX;

struct CommandEntry {
  std::string_view name;
  PassRule rule;
  CommandHandler handler;
  // The line reaches the handler with its %Name% references: a loop's command must see the
  // counter afresh on each turn, and a counter command names its target by its reference.
  bool bKeepsReferences = false;
  // The arguments the handler needs, in the form it reads them: fewer give message 5528.
  ArgumentForm form = ArgumentForm::Free;
  size_t nRequired = 0;
  // The arguments the handler reads at most: the engine ignores any after them.
  size_t nAllowed = kAnyArgumentCount;
};

// The entry of a command name (any case); null for a name that is no command.
const CommandEntry* FindCommand(std::string_view name);
// The number of arguments a line gives to the command, read in the command's form.
size_t CountArguments(const CommandEntry& entry, std::string_view arguments);
// The entry of the words that are no command: the line is started as a program.
const CommandEntry& ProgramCommand();

// --- Argument forms
// ------------------------------------------------------------------------------- Words:
// blank-separated tokens; double quotes group characters and are removed.
std::vector<std::string> WordArguments(std::string_view text);
// Text: the comma-separated arguments of the argument splitter, each trimmed of blanks.
std::vector<std::string> TextArguments(std::string_view text);
// List: as Text, where the list may be enclosed in "(" and ")".
std::vector<std::string> ListArguments(std::string_view text);
// Paths: the Words that are no switch of Copy (/D, /S, /Exclude:list).
std::vector<std::string> PathArguments(std::string_view text);
// The argument at index, empty when there are fewer (a copy, so that it may be taken from a
// temporary list).
std::string ArgumentAt(const std::vector<std::string>& args, size_t index);

// Message 5528 with the line: a missing required argument. The result is true (go on) unless the
// answer is 2.
bool MissingArgument(CommandCall& call);

}  // namespace tarvium
