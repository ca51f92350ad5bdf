// The choice pages as every backend shows them: the administrator page, the same-version page
// (whose Uninstall the caller may hide), the from-CD and shared pages, and the mode page, whose
// full and standard choices name their sizes. Each choice is a button that ends the page with
// its own number; the page has no Next. A backend draws the layout it is given.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/page_texts.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

struct Choice {
  std::string label;  // UTF-8
  int nResult;
};

struct ChoicePage {
  PageText heading;
  PageText explanation;
  int nHelpTopic;
  std::vector<Choice> choices;
};

// The page of a choice request (administrator, same version, from CD, shared; any other kind is
// taken as the mode page) in the language of the locale.
ChoicePage ChoicePageOf(const PageRequest& request, uint32_t lcidLanguage);

}  // namespace tarvium::ui
