// The backend of a run: the text mode when a person sits at a terminal that can draw it (standard
// input and output are terminals, and its type is not "dumb"), the headless one otherwise.
#pragma once
#include <memory>

#include "platform/machine.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

std::unique_ptr<UserInterface> CreateUserInterface(platform::Machine& machine);

}  // namespace tarvium::ui
