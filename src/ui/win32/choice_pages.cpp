// The choice pages: each choice is a button that ends the page with its own number, the first has
// the focus, and Next is hidden. The administrator page, the same-version page (whose Uninstall
// the caller may hide), the from-CD and shared pages, and the mode page, whose full and standard
// choices name their sizes.
#include <vector>

#include "platform/code_page.h"
#include "ui/win32/dialog_pages.h"
#include "ui/win32/wide_text.h"
#include "ui/win32/wizard_page.h"

namespace tarvium::ui::win32 {
namespace {

struct Choice {
  std::string label;  // UTF-8
  int nResult;
};

struct ChoiceLayout {
  PageText heading;
  PageText explanation;
  int nHelpTopic;
};

int AskChoice(DialogSession& session, PageRequest& request, const ChoiceLayout& layout,
              const std::vector<Choice>& choices) {
  WizardPage page(session, request, layout.heading, layout.nHelpTopic, {.bNext = false});
  page.AddText(page.WideText(layout.explanation), 2);
  page.SkipRows(4);
  for (const Choice& choice : choices) page.AddChoice(choice.nResult, WideFromUtf8(choice.label));
  return page.Run();
}

const char* In(DialogSession& session, PageText text) {
  return TextOf(text, session.Frame().lcidLanguage);
}

}  // namespace

int ShowAdminPage(DialogSession& session, PageRequest& request) {
  return AskChoice(session, request, {PageText::AdminHeading, PageText::AdminExplanation, 7200},
                   {{In(session, PageText::AdminFileServer), kChoiceFileServer},
                    {In(session, PageText::AdminWorkstation), kChoiceWorkstation}});
}

int ShowSameVersionPage(DialogSession& session, PageRequest& request) {
  std::vector<Choice> choices = {{In(session, PageText::SameAddRemove), kChoiceAddRemove},
                                 {In(session, PageText::SameRepeat), kChoiceRepeat},
                                 {In(session, PageText::SameNew), kChoiceNewInstance}};
  if (!request.bHideUninstall)
    choices.push_back({In(session, PageText::SameUninstall), kChoiceUninstall});
  return AskChoice(session, request, {PageText::SameHeading, PageText::SameExplanation, 7000},
                   choices);
}

int ShowFromCDPage(DialogSession& session, PageRequest& request) {
  return AskChoice(session, request, {PageText::FromCDHeading, PageText::FromCDExplanation, 7100},
                   {{In(session, PageText::FromCDLocal), kChoiceLocal},
                    {In(session, PageText::FromCDStart), kChoiceFromCD}});
}

int ShowSharedPage(DialogSession& session, PageRequest& request) {
  return AskChoice(session, request, {PageText::SharedHeading, PageText::SharedExplanation, 6900},
                   {{In(session, PageText::SharedLocal), kChoiceLocalShared},
                    {In(session, PageText::SharedFromServer), kChoiceFromServer}});
}

int ShowModePage(DialogSession& session, PageRequest& request) {
  const auto size = [](const std::string& ansiSize) { return platform::AnsiToUtf8(ansiSize); };
  return AskChoice(
      session, request, {PageText::ModeHeading, PageText::ModeExplanation, 6100},
      {{ModeChoiceText(In(session, PageText::ModeFull), size(request.fullSize)), kModeFull},
       {ModeChoiceText(In(session, PageText::ModeStandard), size(request.standardSize)),
        kModeStandard},
       {In(session, PageText::ModeCustom), kModeCustom}});
}

}  // namespace tarvium::ui::win32
