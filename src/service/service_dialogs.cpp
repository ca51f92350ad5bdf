#include "service/service_dialogs.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>

#include "engine/debug_output.h"
#include "engine/setup_run.h"
#include "engine/show_message.h"
#include "platform/error_text.h"
#include "platform/win_error.h"
#include "service/service_pipe.h"
#include "service/service_reply.h"

namespace tarvium {
namespace {

struct DialogEntry {
  const char* pszName;
  const char* pszFailureText;  // traced with the system's text of the error
  bool bAskedOnce;             // Cancel is not confirmed and the dialog is not asked again
};

// In the order of ServiceDialog.
constexpr std::array<DialogEntry, 15> kDialogs = {{
    {"askuser", "UserDialog() failed: ", false},
    {"askdir", "DirDialog() failed: ", false},
    {"askdatadir", "DirDialog() failed: ", false},
    {"askmode", "ModeDialog() failed: ", false},
    {"askfromcd", "FromCDDialog() failed: ", false},
    {"askshared", "SharedDialog: ", false},
    {"asklicence", "LicenceDialog() failed: ", false},
    {"askinfo", "InfoDialog() failed: ", false},
    {"askuninstallold", "UninstallOldDialog() failed: ", true},
    {"getpathname", "GetPathNameDialog() failed: ", true},
    {"admin", "AdminDialog() failed: ", false},
    {"instsame", "InstSameDialog() failed: ", false},
    {"filenotfound", "DiskDialog() failed: ", false},
    {"askkillprocesses", "ProcessDialog() failed: ", false},
    {"getdisk", "DiskDialog() failed: ", false},
}};

const DialogEntry& EntryOf(ServiceDialog nDialog) {
  return kDialogs[static_cast<size_t>(nDialog)];
}

uint32_t ExchangeDialog(SetupRun& run, ServicePipe& pipe, const std::string& request, int& nResult,
                        std::vector<std::string>& values) {
  values.clear();
  std::string reply;
  if (const uint32_t dwError = pipe.Exchange(run, request, reply);
      dwError != platform::ERROR_SUCCESS)
    return dwError;
  DialogReply parsed = ParseDialogReply(reply);
  if (parsed.dwStatus != 0) return parsed.dwStatus;
  if (parsed.bHasAnswer) nResult = parsed.nResult;
  values = std::move(parsed.values);
  return platform::ERROR_SUCCESS;
}

// Asks through `call` until the result is not 2 or the abort is confirmed; 2 at once after a
// failure, which is traced with `pszFailureText`.
int AskRepeating(SetupRun& run, const char* pszFailureText, bool bAskedOnce,
                 const std::function<uint32_t(int& nResult)>& call) {
  for (;;) {
    int nResult = 2;
    if (const uint32_t dwError = call(nResult); dwError != platform::ERROR_SUCCESS) {
      DebugOutput(run, pszFailureText + platform::SystemErrorText(dwError));
      return 2;
    }
    if (nResult != 2 || bAskedOnce || ConfirmAbort(run)) return nResult;
  }
}

struct PageDialog {
  ui::PageKind kind;
  ServiceDialog nDialog;
};

constexpr std::array<PageDialog, 9> kPageDialogs = {{
    {ui::PageKind::Admin, ServiceDialog::Admin},
    {ui::PageKind::SameVersion, ServiceDialog::InstSame},
    {ui::PageKind::Licence, ServiceDialog::AskLicence},
    {ui::PageKind::Info, ServiceDialog::AskInfo},
    {ui::PageKind::FromCD, ServiceDialog::AskFromCD},
    {ui::PageKind::Shared, ServiceDialog::AskShared},
    {ui::PageKind::Mode, ServiceDialog::AskMode},
    {ui::PageKind::Directory, ServiceDialog::AskDir},
    {ui::PageKind::DataDirectory, ServiceDialog::AskDataDir},
}};

std::string PageParameter(const ui::PageRequest& page) {
  switch (page.kind) {
    case ui::PageKind::Mode:
    case ui::PageKind::Shared:
      return std::to_string(page.nDefaultChoice);
    case ui::PageKind::Directory:
    case ui::PageKind::DataDirectory:
      return page.value;
    case ui::PageKind::Licence:
    case ui::PageKind::Info:
      return page.text;
    default:
      return "";
  }
}

// The choice a value of a Next answer selects on a choice page; 2 for a value outside its range.
int ChoiceOfValue(ui::PageKind kind, const std::string& value) {
  static constexpr std::array<int, 2> kFromCD = {ui::kChoiceLocal, ui::kChoiceFromCD};
  static constexpr std::array<int, 2> kShared = {ui::kChoiceLocalShared, ui::kChoiceFromServer};
  static constexpr std::array<int, 4> kSameVersion = {ui::kChoiceAddRemove, ui::kChoiceRepeat,
                                                      ui::kChoiceNewInstance, ui::kChoiceUninstall};
  const bool bDigit = value.size() == 1 && value[0] >= '0' && value[0] <= '9';
  const size_t nValue = bDigit ? static_cast<size_t>(value[0] - '0') : SIZE_MAX;
  switch (kind) {
    case ui::PageKind::FromCD:
      return nValue < kFromCD.size() ? kFromCD[nValue] : 2;
    case ui::PageKind::Shared:
      return nValue < kShared.size() ? kShared[nValue] : 2;
    case ui::PageKind::SameVersion:
      return nValue < kSameVersion.size() ? kSameVersion[nValue] : 2;
    default:
      return ui::kPageNext;
  }
}

bool IsChoicePage(ui::PageKind kind) {
  return kind == ui::PageKind::FromCD || kind == ui::PageKind::Shared ||
         kind == ui::PageKind::SameVersion;
}

// The page result of a reply and the values it writes back into the page.
int PageResult(ui::PageRequest& page, int nResult, const std::vector<std::string>& values) {
  if (IsChoicePage(page.kind) && nResult == ui::kPageNext && !values.empty())
    return ChoiceOfValue(page.kind, values[0]);
  const bool bDirectory =
      page.kind == ui::PageKind::Directory || page.kind == ui::PageKind::DataDirectory;
  if (bDirectory && !values.empty()) page.value = values[0];
  return nResult;
}

std::string DialogRequest(const char* pszName, const std::string& parameter) {
  std::string request = pszName;
  if (parameter.empty()) return request;
  if (parameter[0] != ';') request += ';';
  return request + parameter;
}

}  // namespace

const char* ServiceDialogName(ServiceDialog nDialog) {
  return EntryOf(nDialog).pszName;
}

uint32_t CallServiceDialog(SetupRun& run, ServicePipe& pipe, ServiceDialog nDialog,
                           const std::string& parameter, int& nResult,
                           std::vector<std::string>& values) {
  return ExchangeDialog(run, pipe, DialogRequest(ServiceDialogName(nDialog), parameter), nResult,
                        values);
}

uint32_t CallServiceCmd(SetupRun& run, ServicePipe& pipe, const std::string& command,
                        const std::string& parameter, int& nResult,
                        std::vector<std::string>& values) {
  return ExchangeDialog(run, pipe, command + "=" + parameter, nResult, values);
}

bool ConfirmAbort(SetupRun& run) {
  return ShowMessage(run, 5509) == kResultYes;
}

int AskServiceDialog(SetupRun& run, ServicePipe& pipe, ServiceDialog nDialog,
                     const std::string& parameter, std::vector<std::string>& values) {
  const DialogEntry& entry = EntryOf(nDialog);
  return AskRepeating(run, entry.pszFailureText, entry.bAskedOnce, [&](int& nResult) {
    return CallServiceDialog(run, pipe, nDialog, parameter, nResult, values);
  });
}

int AskServicePage(SetupRun& run, ServicePipe& pipe, ui::PageRequest& page) {
  if (page.kind == ui::PageKind::Value)
    return AskServicePrompt(run, pipe, page.promptLine, page.value);
  const auto* found =
      std::find_if(kPageDialogs.begin(), kPageDialogs.end(),
                   [&](const PageDialog& entry) { return entry.kind == page.kind; });
  if (found == kPageDialogs.end()) return run.ui ? run.ui->ShowPage(page) : page.nDefaultChoice;
  const DialogEntry& entry = EntryOf(found->nDialog);
  const std::string parameter = PageParameter(page);
  return AskRepeating(run, entry.pszFailureText, entry.bAskedOnce, [&](int& nResult) {
    std::vector<std::string> values;
    const uint32_t dwError =
        CallServiceDialog(run, pipe, found->nDialog, parameter, nResult, values);
    if (dwError == platform::ERROR_SUCCESS) nResult = PageResult(page, nResult, values);
    return dwError;
  });
}

int AskServicePrompt(SetupRun& run, ServicePipe& pipe, const std::string& promptLine,
                     std::string& answer) {
  std::vector<std::string> values;
  const int nResult = AskRepeating(run, "PromptDialog() failed: ", false, [&](int& nCallResult) {
    return CallServiceCmd(run, pipe, "PROMPT", promptLine, nCallResult, values);
  });
  if (nResult != 2 && !values.empty()) answer = values[0];
  return nResult;
}

}  // namespace tarvium
