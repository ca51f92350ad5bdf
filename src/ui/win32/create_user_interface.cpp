#include "ui/create_user_interface.h"

#include "ui/console_questions_ui.h"
#include "ui/headless_ui.h"

namespace tarvium::ui {

// Windows has no dialogs of the setup yet: a person at a console is asked the message boxes
// there (whether to restart, whether to remove the product); without one a run asks nothing and
// answers as a run without a person does.
std::unique_ptr<UserInterface> CreateUserInterface(platform::Machine& machine) {
  if (machine.Output().HasTerminal())
    return std::make_unique<ConsoleQuestionsUserInterface>(machine.Output(), &machine.Time());
  return std::make_unique<HeadlessUserInterface>(machine.Output(), &machine.Time());
}

}  // namespace tarvium::ui
