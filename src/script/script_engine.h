// Attaches the script engine to a run: the message catalog, the decryption guard and the
// expression functions of assignments become what the engine's own steps call (ScriptHooks).
#pragma once

namespace tarvium {

struct SetupRun;

void AttachScriptEngine(SetupRun& run);

}  // namespace tarvium
