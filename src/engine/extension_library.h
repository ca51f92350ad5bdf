// The setup extension library: a module named by [Application] "SetupExtDll" whose hook function
// the engine calls at fixed events of a run (2 and 3 around a file copy, 4 before the questions,
// 5 at the end, 6 and 7 around an option). A nonzero answer lets the engine go on; a run without
// a library answers every event with 1.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// Loads the library and looks up its hook function. False when the run must stop: the function is
// missing (message 5521), or the library cannot be loaded and the answer to 5520 is not Ignore.
bool LoadSetupExtension(SetupRun& run);

// Calls the hook with an event and its three texts; 1 without a loaded library.
int CallSetupHook(SetupRun& run, uint32_t nEvent, const std::string& szText1 = {},
                  const std::string& szText2 = {}, const std::string& szText3 = {});

// Unloads the library; later events answer 1.
void UnloadSetupExtension(SetupRun& run);

}  // namespace tarvium
