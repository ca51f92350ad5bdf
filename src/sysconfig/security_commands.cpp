// The interpreter of security lines: "Object.Method (fields)" is split, its method found in the
// tables of the three kinds of objects (accounts, system objects, access lists) and run; a
// failure is message 5555 with the system's text, where Ignore goes on. The section handler runs
// the lines of a security section in the order of the pass.
#include "sysconfig/security_commands.h"

#include "engine/ansi_text.h"
#include "engine/encrypted_value.h"
#include "engine/inf_file.h"
#include "engine/inf_reader.h"
#include "engine/pump_messages.h"
#include "engine/replace_variables.h"
#include "engine/section_position.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "install/section_counts.h"
#include "platform/ansi_case.h"
#include "platform/error_text.h"
#include "platform/win_error.h"
#include "sysconfig/security_call.h"

namespace tarvium {
namespace {

constexpr size_t kSecurityLineSize = 1024;
constexpr uint32_t kFormatWithEncryptedPasswords = 0x650;

struct ParsedCommand {
  std::string object;
  std::string method;
  std::vector<SecurityField> fields;
};

// The fields after "(": trailing blanks and one closing ")" removed, read with the field reader.
std::vector<SecurityField> ReadSecurityFields(std::string_view text) {
  std::string arguments(TrimAnsiRight(text));
  if (!arguments.empty() && arguments.back() == ')') arguments.pop_back();
  std::vector<SecurityField> fields;
  const char* rest = arguments.c_str();
  while (rest && *rest) {
    const std::string_view ahead = TrimAnsiLeft(rest);
    SecurityField field;
    field.bQuoted = !ahead.empty() && (ahead.front() == '\'' || ahead.front() == '"');
    rest = NextField(rest, field.text);
    if (!field.bQuoted) field.text = std::string(TrimAnsi(field.text));
    fields.push_back(std::move(field));
  }
  return fields;
}

bool ParseCommand(const std::string& line, ParsedCommand& command) {
  const size_t nParen = line.find('(');
  if (nParen == std::string::npos) return false;
  const std::string_view head(line.data(), nParen);
  const size_t nDot = head.find('.');
  command.object = std::string(TrimAnsi(head.substr(0, nDot)));
  if (nDot != std::string_view::npos) command.method = std::string(TrimAnsi(head.substr(nDot + 1)));
  command.fields = ReadSecurityFields(std::string_view(line).substr(nParen + 1));
  return true;
}

SecurityMethod FindMethod(const ParsedCommand& command) {
  for (auto find : {FindAccountMethod, FindSystemObjectMethod, FindAccessListMethod})
    if (SecurityMethod method = find(command.object, command.method)) return method;
  return nullptr;
}

bool ReportFailure(SetupRun& run, const std::string& line, uint32_t err) {
  return ShowMessage(run, 5555, line, int64_t{err}, platform::SystemErrorText(err)) ==
         kResultIgnore;
}

bool RunSectionLines(SetupRun& run, const std::string& sectionName, const char* start,
                     bool bNoUseCount, bool bCountExisting) {
  InfSection cursor;
  OpenSection(cursor, start, false, false, run.ctx.bUninstall);
  const SectionPositionScope position(run);
  std::string line;
  while (NextLine(cursor, line, kSecurityLineSize)) {
    if (TrimAnsi(line).empty()) continue;
    SetPosition(run, sectionName, cursor.CurrentLineNumber());
    if (run.script.traceLine) run.script.traceLine(run, sectionName, run.position.nLine, line);
    if (!RunSecurityCommand(run, line, bNoUseCount, bCountExisting, false)) return false;
    if (!run.ctx.bSilent && !PumpWindowMessages(run)) return false;
  }
  return true;
}

}  // namespace

std::string StoredPassword(SetupRun& run, std::string text) {
  if (run.ctx.nFormatVersion >= kFormatWithEncryptedPasswords) DecryptGuard(run, text);
  return text;
}

SecurityMethod FindMethodIn(std::span<const MethodEntry> table, const std::string& object,
                            const std::string& method) {
  for (const MethodEntry& entry : table)
    if (platform::AnsiEqualNoCase(object, entry.pszObject) &&
        platform::AnsiEqualNoCase(method, entry.pszMethod))
      return entry.method;
  return nullptr;
}

bool ReadFlagField(SecurityCall& call, size_t index, std::span<const FlagName> table,
                   uint32_t& dwValue) {
  const std::string text = call.Text(index);
  dwValue = text.empty() ? 0 : ParseFlags(text, table);
  if (dwValue != kUnknownFlags) return true;
  ShowMessage(call.run, 5530, text);
  return false;
}

bool IsSecurityCommand(const std::string& line) {
  ParsedCommand command;
  return ParseCommand(line, command) && FindMethod(command) != nullptr;
}

bool RunSecurityCommand(SetupRun& run, const std::string& line, bool bNoUseCount,
                        bool bCountExisting, bool bApproved) {
  std::string text = line;
  ReplaceVariables(run, text);
  ParsedCommand command;
  if (!ParseCommand(text, command)) {
    ReportFailure(run, text, platform::ERROR_SUCCESS);
    return false;
  }
  const SecurityMethod method = FindMethod(command);
  if (!method) return ReportFailure(run, text, platform::ERROR_SUCCESS);
  SecurityCall call{run, text, std::move(command.fields), bNoUseCount, bCountExisting, bApproved};
  const uint32_t err = method(call);
  if (err == kCommandStopped) return false;
  if (err == platform::ERROR_SUCCESS || err == platform::ERROR_NO_SECURITY_ON_OBJECT) return true;
  return ReportFailure(run, text, err);
}

bool HandleSecuritySection(SetupRun& run, const std::string& sectionName, bool bNoUseCount,
                           bool bCountExisting) {
  if (!StepSectionCount(run, sectionName)) return true;
  const char* start = run.inf ? FindSection(*run.inf, sectionName) : nullptr;
  if (!start) {
    ShowMessage(run, 5529, sectionName);
    return false;
  }
  // Text 5002 would title the main window while the section runs; this build's user interface
  // has no title to change.
  return RunSectionLines(run, sectionName, start, bNoUseCount, bCountExisting);
}

}  // namespace tarvium
