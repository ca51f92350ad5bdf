// The directory chooser is not drawn yet: Browse leaves the field as it is.
#include "ui/directory_chooser.h"

namespace tarvium::ui {

bool ChooseDirectory(TextSession&, platform::FileSystem&, std::string&) {
  return false;
}

}  // namespace tarvium::ui
