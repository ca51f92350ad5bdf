#include "ui/create_user_interface.h"

#include "ui/headless_ui.h"
#include "ui/text_ui.h"

namespace tarvium::ui {

std::unique_ptr<UserInterface> CreateUserInterface(platform::Machine& machine) {
  platform::Console& console = machine.Output();
  if (console.HasTextScreen()) return std::make_unique<TextUserInterface>(console, machine.Files());
  return std::make_unique<HeadlessUserInterface>(console);
}

}  // namespace tarvium::ui
