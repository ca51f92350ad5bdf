// What the pages of a drawing backend need of the run, through the link the run gives once
// (RunLink): its frame (title, language, help, silence), the box route for the questions a page
// asks (5509 on Cancel), Help, and the catalog's texts. Entries the run left empty answer as
// user_interface.h says: a default frame, Yes, nothing, an empty text.
#pragma once
#include <string>

#include "ui/user_interface.h"

namespace tarvium::ui {

class RunConnection {
 public:
  void Connect(RunLink link) { link_ = std::move(link); }
  RunFrame Frame() const;
  // A catalog message through the run's box route; Yes (6) when the run gave no route.
  int AskMessage(int nMessage);
  void ShowHelp(int nTopic);
  // A catalog string in the run's language (ANSI); empty when the run gave no catalog.
  std::string CatalogText(int nText);
  // Whether the person confirms the abort (message 5509 answered Yes).
  bool ConfirmCancel() { return AskMessage(5509) == 6; }
  // A page's explanation (ANSI): a catalog number ("5036") stands for the catalog's text.
  std::string Explanation(const std::string& text);

 private:
  RunLink link_;
};

}  // namespace tarvium::ui
