// Gives a run its user interface and connects the interface back to the run: the page frame
// (the main window's title, the run's language, whether help exists, whether the run is silent)
// is read from the run each time a page or box opens, the pages' own questions (5509 on Cancel)
// go through ShowMessage with its error file and service route, and catalog texts come in the
// run's language.
#pragma once
#include <memory>

#include "ui/user_interface.h"

namespace tarvium {

struct SetupRun;

void ConnectUserInterface(SetupRun& run, std::unique_ptr<ui::UserInterface> userInterface);

}  // namespace tarvium
