// A prompt section holds keys rather than one comma line, so that a label may hold commas and
// quotes and every part but the variable may be left out:
//   Variable=  the variable the answer sets
//   Text=      the label of the entry (variables replaced)
//   Default=   the proposed value (variables replaced; it may call an expression function)
//   Browse=1   the page offers Browse for a directory
//   Flags=     hexadecimal; 0x80000 marks a secret
//   Timeout=   seconds after which the page goes on with its value; such a prompt is asked in a
//              /S2 run too, where every other prompt silently takes its default
// The answer becomes the line NAME=answer and takes the way of every variable line, so that a
// function it calls is evaluated. A run connected to the setup service sends the prompt as one
// line, "Variable;Text;proposed value;Browse;Flags", and reads the answer from the reply.
#include "script/prompt_page.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <vector>

#include "engine/evaluate_assignment.h"
#include "engine/inf_values.h"
#include "engine/prompt_sections.h"
#include "engine/replace_variables.h"
#include "engine/setup_phases.h"
#include "engine/setup_run.h"
#include "engine/setup_trace.h"
#include "engine/show_message.h"
#include "engine/variable_sections.h"
#include "platform/ansi_case.h"
#include "script/crypt/decrypt_value.h"
#include "script/crypt/scramble_value.h"

namespace tarvium {
namespace {

struct PromptSection {
  std::string variable;
  std::string text;
  std::string defaultValue;
  bool bBrowse = false;
  uint32_t dwFlags = 0;
  int32_t nTimeout = 0;

  bool IsSecret() const { return (dwFlags & kPromptSecret) != 0; }
};

// Flags that are not hexadecimal count as none; the trace says so, because a secret whose flag
// is misspelt would otherwise be recorded in plain text without a word.
uint32_t ReadPromptFlags(SetupRun& run, const std::string& section) {
  const std::string text = ReadTextKey(*run.inf, section, "Flags", kShortTextSize);
  uint32_t dwFlags = 0;
  if (text.empty() || ParseHexNumber(text, dwFlags)) return dwFlags;
  SetupTrace(run, "Prompt section %s: Flags are not hexadecimal, taken as 0: %s\n", section.c_str(),
             text.c_str());
  return 0;
}

// False (traced) when the section cannot be asked (see PromptVariable).
bool ReadPromptSection(SetupRun& run, const std::string& section, PromptSection& prompt) {
  prompt.variable = PromptVariable(run, section);
  if (prompt.variable.empty()) return false;
  const InfFile& inf = *run.inf;
  prompt.text = ReadTextKey(inf, section, "Text", kVariableLineSize);
  ReplaceVariables(run, prompt.text);
  prompt.defaultValue = ReadTextKey(inf, section, "Default", kVariableLineSize);
  ReplaceVariables(run, prompt.defaultValue);
  prompt.bBrowse = ReadSwitchKey(inf, section, "Browse", false);
  prompt.dwFlags = ReadPromptFlags(run, section);
  prompt.nTimeout = ReadNumberKey(inf, section, "Timeout", 0);
  return true;
}

std::string NameOf(const std::string& answer) {
  return platform::AnsiUpper(answer.substr(0, answer.find('=')));
}

std::vector<std::string>::iterator FindAnswer(std::vector<std::string>& answers,
                                              const std::string& name) {
  const std::string upper = platform::AnsiUpper(name);
  return std::find_if(answers.begin(), answers.end(),
                      [&](const std::string& answer) { return NameOf(answer) == upper; });
}

// A page asked again (after Back, or by the Prompt command) proposes what was answered; a secret
// proposes its default again, as its variable holds the decrypted text.
std::string ProposedValue(SetupRun& run, const PromptSection& prompt) {
  std::vector<std::string>& answers = run.ctx.answeredPrompts;
  if (prompt.IsSecret() || FindAnswer(answers, prompt.variable) == answers.end())
    return prompt.defaultValue;
  return LookupVariable(run, platform::AnsiUpper(prompt.variable));
}

// Silent runs take the defaults; at silent level 2 a prompt with a time-out still shows its page,
// which goes on by itself.
bool IsAsked(const SetupContext& ctx, const PromptSection& prompt) {
  return !ctx.bSilent || (ctx.iSilentLevel == 2 && prompt.nTimeout > 0);
}

std::string PromptLine(const PromptSection& prompt, const std::string& value) {
  char flags[16];
  std::snprintf(flags, sizeof flags, "0x%" PRIX32, prompt.dwFlags);
  return prompt.variable + ";" + prompt.text + ";" + value + ";" + (prompt.bBrowse ? "1" : "0") +
         ";" + flags;
}

// The answer as the registration keeps it; false when a secret is too long to be scrambled, so
// that it is not recorded at all rather than in plain text.
bool RecordedValue(SetupRun& run, const PromptSection& prompt, std::string& value) {
  if (!prompt.IsSecret() || Tarvium::ScrambleValue(run, value)) return true;
  SetupTrace(run, "Prompt answer of %s too long to be recorded\n", prompt.variable.c_str());
  return false;
}

void RecordAnswer(SetupRun& run, const std::string& name, const std::string& value) {
  std::vector<std::string>& answers = run.ctx.answeredPrompts;
  const auto earlier = FindAnswer(answers, name);
  if (earlier != answers.end())
    *earlier = name + "=" + value;
  else
    answers.push_back(name + "=" + value);
}

void TakeAnswer(SetupRun& run, const PromptSection& prompt, std::string answer) {
  if (prompt.IsSecret()) Tarvium::DecryptGuard(run, answer);
  std::string assignment = prompt.variable + "=" + answer;
  if (!EvaluateAssignment(run, assignment)) return;  // a malformed call: 5528 was shown
  const size_t nEquals = assignment.find('=');
  const std::string name = assignment.substr(0, nEquals);
  std::string value = assignment.substr(nEquals + 1);
  if (!SetVariable(run, name, value)) {
    ShowMessage(run, 5500);
    return;
  }
  if (RecordedValue(run, prompt, value)) RecordAnswer(run, name, value);
}

}  // namespace

int AskPromptPage(SetupRun& run, const std::string& section, bool bBack) {
  PromptSection prompt;
  if (!ReadPromptSection(run, section, prompt)) return ui::kPageNext;
  ui::PageRequest page;
  page.kind = ui::PageKind::Value;
  page.text = prompt.text;
  page.value = ProposedValue(run, prompt);
  page.bBack = bBack;
  page.bCancel = !run.ctx.bDisableCancelButton;
  page.bBrowse = prompt.bBrowse;
  page.bSecret = prompt.IsSecret();
  page.nSeconds = prompt.nTimeout > 0 ? prompt.nTimeout : -1;
  page.promptLine = PromptLine(prompt, page.value);
  const int nResult = IsAsked(run.ctx, prompt) ? ShowWizardPage(run, page) : ui::kPageNext;
  if (nResult == ui::kPageNext) TakeAnswer(run, prompt, page.value);
  return nResult;
}

}  // namespace tarvium
