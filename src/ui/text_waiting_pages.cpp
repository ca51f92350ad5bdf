// The pages that wait for something else than a person: the programs that must end and the
// restart warning with its countdown. Not drawn yet in text mode: they take their defaults as the
// headless interface does, so that a run goes on.
#include "ui/text_pages.h"

namespace tarvium::ui {

int ShowProcessesPage(TextSession&, PageRequest& request) {
  return request.nDefaultChoice;
}

int ShowRestartPage(TextSession&, PageRequest& request) {
  return request.nDefaultChoice;
}

}  // namespace tarvium::ui
