// The choice pages in text mode: the choices form a list of buttons that opens on its first
// choice (as a dialog opens on its first control), and Next is hidden.
#include "ui/choice_pages.h"
#include "ui/text_page.h"
#include "ui/text_pages.h"

namespace tarvium::ui {

int ShowChoicePage(TextSession& session, PageRequest& request) {
  const ChoicePage layout = ChoicePageOf(request, session.Frame().lcidLanguage);
  FootButtons foot;
  foot.bNext = false;
  TextPage page(session, request, layout.heading, layout.nHelpTopic, foot);
  page.AddText(page.Text(layout.explanation));
  page.SkipRows(1);
  for (const Choice& choice : layout.choices) page.AddButton(choice.label, choice.nResult, 2);
  page.MakeChoiceList();
  return page.Run();
}

}  // namespace tarvium::ui
