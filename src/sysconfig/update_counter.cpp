// Counters are signed 32-bit numbers with the wrap-around of such numbers. A registry target is
// written as a comma-form registry line of type REG_DWORD, so it goes through the same checks and
// trace as every registry line; the uninstall pass is off while the result is stored, because
// the result must be kept, not deleted.
#include "sysconfig/update_counter.h"

#include <cstdint>
#include <limits>

#include "engine/ansi_text.h"
#include "engine/inf_fields.h"
#include "engine/replace_variables.h"
#include "engine/setup_run.h"
#include "engine/variable_sections.h"
#include "platform/ansi_case.h"
#include "sysconfig/reg_lines.h"

namespace tarvium {
namespace {

int32_t ReadSigned(std::string_view text) {
  text = TrimAnsi(text);
  const bool bNegative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
  uint32_t nValue = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    nValue = nValue * 10 + static_cast<uint32_t>(c - '0');
  }
  return static_cast<int32_t>(bNegative ? 0u - nValue : nValue);
}

int32_t CurrentValue(SetupRun& run, std::string text) {
  for (int i = 0; i < kMaxReplaceRounds && text.find('%') != std::string::npos; ++i)
    ReplaceVariables(run, text);
  return ReadSigned(text);
}

int32_t Wrap(int64_t nValue) {
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(nValue)));
}

int32_t Step(int32_t nValue, int32_t nAmount, bool bForward, bool bMultiplicative) {
  if (bForward)
    return Wrap(bMultiplicative ? int64_t{nValue} * nAmount : int64_t{nValue} + nAmount);
  if (!bMultiplicative) return Wrap(int64_t{nValue} - nAmount);
  return Wrap(int64_t{nValue} / (nAmount == 0 ? 1 : nAmount));  // truncates toward zero
}

void StoreResult(SetupRun& run, const std::string& name, const std::string& text) {
  if (platform::AnsiStartsWithNoCase(name, "HK")) {
    if (!run.ctx.bRepair) HandleRegLine(run, name + ",0x00010001," + text, 0);
    return;
  }
  if (name.find(',') == std::string::npos) {
    SetVariable(run, name, text);
    return;
  }
  std::string file, section, key;
  NextField(NextField(NextField(name.c_str(), file), section), key);
  if (run.ctx.bRepair || file.empty() || section.empty() || key.empty()) return;
  run.machine.Profiles().WritePrivateProfileString(section.c_str(), key.c_str(), text.c_str(),
                                                   file);
}

}  // namespace

bool SplitCounterArguments(const std::string& argumentText, std::string& target,
                           std::string& amountText) {
  size_t nStart = argumentText.find('(');
  if (nStart == std::string::npos) nStart = argumentText.find(' ');
  if (nStart == std::string::npos) return false;
  NextField(NextField(argumentText.c_str() + nStart + 1, target), amountText);
  if (!target.empty() && target.back() == ')') target.pop_back();
  return true;
}

bool UpdateCounter(SetupRun& run, const std::string& argumentText, bool bIncrease,
                   bool bMultiplicative, bool bKeepDirection) {
  std::string target, amountText;
  if (!SplitCounterArguments(argumentText, target, amountText)) return false;
  const int32_t nAmount = TrimAnsi(amountText).empty() ? 1 : ReadSigned(amountText);
  const bool bUninstall = run.ctx.bUninstall;
  const bool bForward = (bIncrease && (!bUninstall || bKeepDirection)) ||
                        (!bIncrease && bUninstall && !bKeepDirection);
  const int32_t nResult = Step(CurrentValue(run, target), nAmount, bForward, bMultiplicative);
  const std::string name = target.size() >= 2 ? target.substr(1, target.size() - 2) : "";
  run.ctx.bUninstall = false;
  StoreResult(run, name, std::to_string(nResult));
  run.ctx.bUninstall = bUninstall;
  return true;
}

}  // namespace tarvium
