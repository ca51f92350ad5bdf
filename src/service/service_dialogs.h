// The dialogs of a run connected to the setup service: a request named after the dialog with its
// parameter text, a reply "status;word;values" read with the dialog answer words, and the rule
// that a Cancel is confirmed with message 5509 before it counts (otherwise the dialog is asked
// again). The wizard pages are converted to these dialogs and back to their own results here, so
// that the main sequence does not know which route a page took.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "engine/service_hooks.h"
#include "ui/user_interface.h"

namespace tarvium {

struct SetupRun;
class ServicePipe;

// The request's name in the service's table ("askdir", ...).
const char* ServiceDialogName(ServiceDialog nDialog);

// One dialog exchange. Returns the transport error or the reply's non-zero status (both
// failures); otherwise ERROR_SUCCESS with nResult from the answer word (unchanged without one)
// and the reply's values.
uint32_t CallServiceDialog(SetupRun& run, ServicePipe& pipe, ServiceDialog nDialog,
                           const std::string& parameter, int& nResult,
                           std::vector<std::string>& values);
// As CallServiceDialog with the request command, "=" and the parameter text ("PROMPT=...").
uint32_t CallServiceCmd(SetupRun& run, ServicePipe& pipe, const std::string& command,
                        const std::string& parameter, int& nResult,
                        std::vector<std::string>& values);

// The dialog with the repetition on Cancel; 2 after a failure (traced) or a confirmed Cancel.
int AskServiceDialog(SetupRun& run, ServicePipe& pipe, ServiceDialog nDialog,
                     const std::string& parameter, std::vector<std::string>& values);
// A wizard page through its dialog (a value page through its prompt line); the page's own
// result numbers.
int AskServicePage(SetupRun& run, ServicePipe& pipe, ui::PageRequest& page);
// A prompt: "PROMPT=<line>", repeated on Cancel like a dialog.
int AskServicePrompt(SetupRun& run, ServicePipe& pipe, const std::string& promptLine,
                     std::string& answer);

// True when message 5509 ("Do you really want to abort the installation?") is answered Yes.
bool ConfirmAbort(SetupRun& run);

}  // namespace tarvium
