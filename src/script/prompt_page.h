// Prompt sections: one value asked on a page of its own, set as a variable and recorded with the
// product's registration. The wizard asks the sections of [Application] "Prompts" in turn, and
// the script command Prompt asks one by name.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

struct SetupRun;

// The flag of a prompt whose answer is a secret: it is decrypted before it is used, recorded
// scrambled and hidden on the page.
inline constexpr uint32_t kPromptSecret = 0x80000;

// Asks the prompt section (Back offered when bBack) and, on Next, sets its variable and records
// the answer: 1 Next, 998 Back, 2 Cancel. A missing section, or one without a usable variable,
// is passed over (1).
int AskPromptPage(SetupRun& run, const std::string& section, bool bBack);

}  // namespace tarvium
