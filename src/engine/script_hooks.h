// What the engine asks of the script engine. The script engine sits beside the engine, not below
// it: it reads variables and the run, while the engine's own steps show catalog messages, decrypt
// encrypted values, evaluate the expression functions of variable assignments and read version
// resources. The script engine attaches these operations to the run (AttachScriptEngine); a run
// without them, as in the engine's own tests, records its messages and answers OK, leaves values
// as they are written and knows no file's language.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/show_message.h"

namespace tarvium {

struct SetupRun;

struct ScriptHooks {
  std::function<int(SetupRun&, int nMessage, const std::vector<MessageArg>& args)> showMessage;
  // The decryption guard: replaces an encrypted value by its plain text, leaves any other text.
  std::function<bool(SetupRun&, std::string& text)> decryptGuard;
  std::function<bool(SetupRun&, std::string_view text)> isNonEmptyEncryptedValue;
  // Turns a line NAME=value into NAME=result when the value calls an expression function.
  std::function<bool(SetupRun&, std::string& line)> evaluateAssignment;
  // The language of the first translation of a file's version resource; 0 when it has none.
  std::function<uint16_t(SetupRun&, const std::string& path)> fileLanguage;
  // The start of a run: the catalog in English, then (after the variables) the run's language.
  std::function<void(SetupRun&)> initMessageCatalog;
  std::function<void(SetupRun&)> chooseLanguage;
  // Once the error file is prepared: how messages are answered in this run (silent, beep).
  std::function<void(SetupRun&)> attachErrorFile;
  // Starts a program as the script commands do; false when it could not be started.
  std::function<bool(SetupRun&, const std::string& commandLine, bool bWait, uint32_t& dwExitCode)>
      launchProgram;
  // One prompt page (a prompt section): 1 Next, 998 Back, 2 Cancel. Without it a prompt section
  // is passed over.
  std::function<int(SetupRun&, const std::string& section, bool bBack)> askPrompt;
  // The script trace of a debug run: a line a section handler is about to process, with its
  // section and 1-based line number. Without it nothing is traced.
  std::function<void(SetupRun&, const std::string& section, int32_t nLine, const std::string& line)>
      traceLine;
};

}  // namespace tarvium
