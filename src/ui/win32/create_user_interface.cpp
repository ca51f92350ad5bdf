#include "ui/create_user_interface.h"

#include "ui/headless_ui.h"

namespace tarvium::ui {

// Windows has no text-mode wizard: until its dialogs come, a run asks nothing and answers as a
// run without a person does.
std::unique_ptr<UserInterface> CreateUserInterface(platform::Machine& machine) {
  return std::make_unique<HeadlessUserInterface>(machine.Output(), &machine.Time());
}

}  // namespace tarvium::ui
