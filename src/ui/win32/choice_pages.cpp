// The choice pages as dialogs: one button per choice, the first with the focus, and no Next.
#include "ui/choice_pages.h"
#include "ui/win32/dialog_pages.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/wizard_page.h"

namespace tarvium::ui::win32 {

int ShowChoicePage(DialogSession& session, PageRequest& request) {
  const ChoicePage layout = ChoicePageOf(request, session.Frame().lcidLanguage);
  WizardPage page(session, request, layout.heading, layout.nHelpTopic, {.bNext = false});
  page.AddText(page.WideText(layout.explanation), 2);
  page.SkipRows(4);
  for (const Choice& choice : layout.choices)
    page.AddChoice(choice.nResult, WideFromUtf8(choice.label));
  return page.Run();
}

}  // namespace tarvium::ui::win32
