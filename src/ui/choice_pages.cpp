#include "ui/choice_pages.h"

#include "platform/code_page.h"

namespace tarvium::ui {
namespace {

// The choice's text with the mode's size (ANSI) put into its "%s"; without a size the brackets
// around it go too.
std::string WithSize(const char* pszChoice, const std::string& ansiSize) {
  std::string text = pszChoice;
  const size_t nAt = text.find("%s");
  if (nAt == std::string::npos) return text;
  if (ansiSize.empty()) {
    const size_t nOpen = text.rfind(" (", nAt);
    return nOpen == std::string::npos ? text.erase(nAt, 2) : text.substr(0, nOpen);
  }
  return text.replace(nAt, 2, platform::AnsiToUtf8(ansiSize));
}

}  // namespace

ChoicePage ChoicePageOf(const PageRequest& request, uint32_t lcidLanguage) {
  const auto text = [lcidLanguage](PageText id) { return std::string(TextOf(id, lcidLanguage)); };
  switch (request.kind) {
    case PageKind::Admin:
      return {PageText::AdminHeading, PageText::AdminExplanation, 7200,
              {{text(PageText::AdminFileServer), kChoiceFileServer},
               {text(PageText::AdminWorkstation), kChoiceWorkstation}}};
    case PageKind::SameVersion: {
      ChoicePage page{PageText::SameHeading, PageText::SameExplanation, 7000,
                      {{text(PageText::SameAddRemove), kChoiceAddRemove},
                       {text(PageText::SameRepeat), kChoiceRepeat},
                       {text(PageText::SameNew), kChoiceNewInstance}}};
      if (!request.bHideUninstall)
        page.choices.push_back({text(PageText::SameUninstall), kChoiceUninstall});
      return page;
    }
    case PageKind::FromCD:
      return {PageText::FromCDHeading, PageText::FromCDExplanation, 7100,
              {{text(PageText::FromCDLocal), kChoiceLocal},
               {text(PageText::FromCDStart), kChoiceFromCD}}};
    case PageKind::Shared:
      return {PageText::SharedHeading, PageText::SharedExplanation, 6900,
              {{text(PageText::SharedLocal), kChoiceLocalShared},
               {text(PageText::SharedFromServer), kChoiceFromServer}}};
    default:  // the mode page
      return {PageText::ModeHeading, PageText::ModeExplanation, 6100,
              {{WithSize(TextOf(PageText::ModeFull, lcidLanguage), request.fullSize), kModeFull},
               {WithSize(TextOf(PageText::ModeStandard, lcidLanguage), request.standardSize),
                kModeStandard},
               {text(PageText::ModeCustom), kModeCustom}}};
  }
}

}  // namespace tarvium::ui
