// The choice pages: each choice is a button that ends the page with its own number, the choices
// form a list that opens on its first choice (as a dialog opens on its first control), and Next
// is hidden. The administrator page, the same-version page (whose Uninstall the caller may hide),
// the from-CD and shared pages, and the mode page, whose full and standard choices name their
// sizes.
#include <vector>

#include "ui/text_page.h"
#include "ui/text_pages.h"

namespace tarvium::ui {
namespace {

struct Choice {
  std::string label;  // UTF-8
  int nResult;
};

struct ChoicePage {
  PageText heading;
  PageText explanation;
  int nHelpTopic;
};

int AskChoice(TextSession& session, PageRequest& request, const ChoicePage& layout,
              const std::vector<Choice>& choices) {
  FootButtons foot;
  foot.bNext = false;
  TextPage page(session, request, layout.heading, layout.nHelpTopic, foot);
  page.AddText(page.Text(layout.explanation));
  page.SkipRows(1);
  for (const Choice& choice : choices) page.AddButton(choice.label, choice.nResult, 2);
  page.MakeChoiceList();
  return page.Run();
}

const char* In(TextSession& session, PageText text) {
  return TextOf(text, session.Frame().lcidLanguage);
}

}  // namespace

int ShowAdminPage(TextSession& session, PageRequest& request) {
  return AskChoice(session, request, {PageText::AdminHeading, PageText::AdminExplanation, 7200},
                   {{In(session, PageText::AdminFileServer), kChoiceFileServer},
                    {In(session, PageText::AdminWorkstation), kChoiceWorkstation}});
}

int ShowSameVersionPage(TextSession& session, PageRequest& request) {
  std::vector<Choice> choices = {{In(session, PageText::SameAddRemove), kChoiceAddRemove},
                                 {In(session, PageText::SameRepeat), kChoiceRepeat},
                                 {In(session, PageText::SameNew), kChoiceNewInstance}};
  if (!request.bHideUninstall)
    choices.push_back({In(session, PageText::SameUninstall), kChoiceUninstall});
  return AskChoice(session, request, {PageText::SameHeading, PageText::SameExplanation, 7000},
                   choices);
}

int ShowFromCDPage(TextSession& session, PageRequest& request) {
  return AskChoice(session, request, {PageText::FromCDHeading, PageText::FromCDExplanation, 7100},
                   {{In(session, PageText::FromCDLocal), kChoiceLocal},
                    {In(session, PageText::FromCDStart), kChoiceFromCD}});
}

int ShowSharedPage(TextSession& session, PageRequest& request) {
  return AskChoice(session, request, {PageText::SharedHeading, PageText::SharedExplanation, 6900},
                   {{In(session, PageText::SharedLocal), kChoiceLocalShared},
                    {In(session, PageText::SharedFromServer), kChoiceFromServer}});
}

int ShowModePage(TextSession& session, PageRequest& request) {
  return AskChoice(
      session, request, {PageText::ModeHeading, PageText::ModeExplanation, 6100},
      {{ModeChoiceText(In(session, PageText::ModeFull), ForDisplay(request.fullSize)), kModeFull},
       {ModeChoiceText(In(session, PageText::ModeStandard), ForDisplay(request.standardSize)), kModeStandard},
       {In(session, PageText::ModeCustom), kModeCustom}});
}

}  // namespace tarvium::ui
