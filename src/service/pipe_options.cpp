#include "service/pipe_options.h"

#include <charconv>
#include <string>
#include <vector>

#include "engine/debug_output.h"
#include "engine/setup_run.h"
#include "install/install_engine.h"
#include "install/option_record.h"
#include "install/option_selection.h"
#include "platform/ansi_case.h"
#include "platform/error_text.h"
#include "platform/win_error.h"
#include "service/service_dialogs.h"
#include "service/service_pipe.h"
#include "service/service_reply.h"

namespace tarvium {
namespace {

// The size the service asks for inside the exchange: the bare number; 0 for an option that does
// not exist; an empty name asks for the first option.
std::string OptionSizeText(const OptionTable& table, const std::string& name) {
  const int32_t i = name.empty() ? (table.Count() > 1 ? 1 : -1) : FindOption(table, name);
  return std::to_string(i > 0 ? static_cast<long>(table[i].size) : 0L);
}

bool IsNumber(const std::string& field, long& nValue) {
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), nValue);
  return !field.empty() && error == std::errc() && end == field.data() + field.size();
}

// Deselects every visible option, then selects the named ones (with what they depend on).
void ApplySelection(OptionTable& table, const std::vector<std::string>& fields) {
  for (int32_t i = 1; i < table.Count(); ++i)
    if ((table[i].flags & (OPTION_COPYALWAYS | OPTION_HIDDEN)) == 0) table[i].selected = false;
  for (size_t nField = 2; nField < fields.size(); ++nField)
    if (const int32_t i = FindOption(table, fields[nField]); i > 0) SelectOption(table, i, true);
}

// One exchange; false after a failure (traced), which is not confirmed with message 5509. A
// reply with its status 0 but no answer word is traced and counts as Cancel, which is confirmed
// as every Cancel is; a status that is no number fails, as it fails a dialog.
bool ExchangeOptions(SetupRun& run, ServicePipe& pipe, int& nResult) {
  OptionTable& table = EngineOf(run).options;
  std::string reply;
  uint32_t dwError = pipe.Exchange(run, "[options]", reply);
  std::vector<std::string> fields = SplitReplyFields(reply);
  while (dwError == platform::ERROR_SUCCESS && platform::AnsiEqualNoCase(fields[0], "getsize")) {
    dwError = pipe.Exchange(run, OptionSizeText(table, fields.size() > 1 ? fields[1] : ""), reply);
    fields = SplitReplyFields(reply);
  }
  if (dwError != platform::ERROR_SUCCESS) {
    DebugOutput(run, "PipeGetOptions() failed: " + platform::SystemErrorText(dwError));
    return false;
  }
  long nStatus = 0;
  const bool bStatus = IsNumber(fields[0], nStatus);
  if (!bStatus || fields.size() < 2) DebugOutput(run, "Invalid result from options\n");
  if (!bStatus) return false;
  if (nStatus != 0) {
    DebugOutput(run, "Options dialog failed\n");
    return false;
  }
  if (fields.size() < 2) return true;
  nResult = DialogAnswerResult(fields[1]);
  if (nResult != 2) ApplySelection(table, fields);
  return true;
}

}  // namespace

int PipeGetOptions(SetupRun& run, ServicePipe& pipe) {
  for (;;) {
    int nResult = 2;
    if (!ExchangeOptions(run, pipe, nResult)) return 2;
    if (nResult != 2 || ConfirmAbort(run)) return nResult;
  }
}

}  // namespace tarvium
