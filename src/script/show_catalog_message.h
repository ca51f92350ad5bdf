// ShowMessage as the script engine answers it: the catalog entry of the number is parsed and its
// text formatted, then one of three routes gives the result. A run driven by the setup service
// (/G) asks the service, or takes the default button when it is also silent; a run with /SX
// answers 2 without showing or writing anything; any other run shows the box, which writes the
// error file and answers at once in silent runs. A number without an entry answers 1.
#pragma once
#include <vector>

#include "engine/show_message.h"

namespace tarvium {

struct SetupRun;

// The operation AttachScriptEngine installs as run.script.showMessage.
int ShowCatalogMessage(SetupRun& run, int nMessage, const std::vector<MessageArg>& args);
// Called once the error file is prepared: a silent run answers every box at once with its default
// button (written into the error file), and beeps only when it has no error file.
void AttachErrorFileToMessages(SetupRun& run);

}  // namespace tarvium
