// The message definition language of the catalog: three fields, icon, text template and
// buttons, each between an opening and a closing delimiter, which are the first and the third
// character of the definition ("[s][Cannot open file '%s'!][&OK=2|&Help=9]"; any pair works,
// so a text may hold square brackets when braces delimit it). Buttons are "label=result" joined by
// '|', with '!' after the result marking the default. Parsing is a pure function of the text.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "ui/user_interface.h"

namespace tarvium {

inline constexpr size_t kMessageTemplateMax = 511;  // bytes of a text template
inline constexpr size_t kButtonLabelMax = 255;      // bytes of a button label
inline constexpr int kResultNotCreated = -1;        // a button with this result is not created
inline constexpr int kResultHelp = 9;               // the Help button; it never ends a box

struct SpecButton {
  std::string label;  // with its '&' access-key mark
  int nResult = 2;
  bool bDefault = false;  // marked with '!'
};

struct MessageSpec {
  ui::IconKind icon = ui::IconKind::Information;
  std::string textTemplate;  // printf template, cut to kMessageTemplateMax bytes
  std::vector<SpecButton> buttons;
  size_t nDefault = 0;  // the first button marked '!', else the first one
};

// False for an empty definition (an empty catalog entry: there is no message). A field whose
// delimiters are missing is empty; a button entry without "=number" is left out.
bool ParseMessageSpec(std::string_view messageSpec, MessageSpec& parsed);
// The answer without a box: the default button's result, 2 when there is no button.
int DefaultResult(const MessageSpec& messageSpec);

}  // namespace tarvium
