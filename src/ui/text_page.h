// The frame every text-mode page shares: a window in the middle of the screen with the main
// window's title, the page's heading, a body that the page fills from top to bottom, and the row
// of buttons at its foot (Help at the left when a help file is known; Back, Next and Cancel at the
// right, each as the caller's flags ask). Run() keeps the page open until it ends: Next and Back
// after the page stored its values, Cancel only after message 5509 was answered Yes, a choice
// button with its own number. A page is built, run and dropped within one asking function:
//
//   TextPage page(session, request, PageText::UserHeading, 6300);
//   newtComponent name = page.AddEntry(request.value);
//   return page.Run([&] { request.value = page.EntryValue(name); return true; });
#pragma once
#include <newt.h>

#include <functional>
#include <string>
#include <vector>

#include "ui/page_texts.h"
#include "ui/text_session.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

// The buttons of the foot row: Next can be hidden (choice pages) and Next and Cancel can carry
// other labels (Yes and No on the terms of use).
struct FootButtons {
  bool bNext = true;
  PageText next = PageText::Next;
  PageText cancel = PageText::Cancel;
};

class TextPage {
 public:
  TextPage(TextSession& session, const PageRequest& request, PageText heading, int nHelpTopic,
           FootButtons foot = {});
  ~TextPage();
  TextPage(const TextPage&) = delete;
  TextPage& operator=(const TextPage&) = delete;

  TextSession& Session() { return session_; }
  // The page's text in the run's language.
  const char* Text(PageText text) const { return TextOf(text, frame_.lcidLanguage); }
  // The body's width in columns and the rows still free in it.
  int Width() const { return nWidth_ - 2 * kMargin; }
  int RowsLeft() const { return nFootRow_ - 1 - nRow_; }
  int Row() const { return nRow_; }
  void SkipRows(int nRows) { nRow_ += nRows; }

  // Word-wrapped UTF-8 text as labels, from the next free row on (at most nMaxRows rows).
  void AddText(const std::string& utf8Text, int nMaxRows = 1000);
  // An entry field over the body's width (or nWidth columns from column nLeft), holding the ANSI
  // value; a label before it when given.
  newtComponent AddEntry(const std::string& ansiValue, const std::string& utf8Label = "");
  // The entry's text, back in ANSI.
  static std::string EntryValue(newtComponent entry);
  // A button in the body that ends the page with nResult (a choice, Browse); placed at column
  // nLeft of the body on the next free row unless bSameRow.
  newtComponent AddButton(const std::string& utf8Label, int nResult, int nLeft = 0,
                          bool bSameRow = false);
  // Any other component, made by the caller at the body's column Left() and row Row(); it takes
  // nRows rows.
  void AddComponent(newtComponent component, int nRows);
  int Left() const { return kMargin; }
  void Focus(newtComponent component) { pFocus_ = component; }
  // Makes the body buttons added so far a list of choices: the first has the focus, the arrows
  // move within the list (and from the foot row back into it) and Tab leaves it for the foot row.
  void MakeChoiceList();

  // Calls tick every nMilliseconds while the page is open; a tick that returns non-zero ends
  // the page with that number.
  void SetTimer(int nMilliseconds, std::function<int()> tick);

  // Runs the page and returns its result. store is called before Next and Back end it and may keep
  // it open by returning false; onButton receives the body buttons that are not choices (Browse)
  // and returns true when the page should stay open.
  int Run(const std::function<bool()>& store = {},
          const std::function<bool(int nResult)>& onButton = {});

 private:
  static constexpr int kMargin = 2;
  struct Button {
    newtComponent component;
    int nResult;
  };
  void AddFoot(const FootButtons& foot, const PageRequest& request, int nHelpTopic);
  int ResultOf(newtComponent component) const;
  newtComponent ListTarget(newtComponent current, int nKey) const;

  TextSession& session_;
  DialogScope scope_;
  RunFrame frame_;
  newtComponent form_ = nullptr;
  newtComponent pFocus_ = nullptr;
  std::vector<Button> buttons_;
  std::vector<Button> foot_;  // made with the page, added to the form when it runs
  size_t nChoices_ = 0;       // the first buttons that form the choice list
  int nWidth_ = 0;
  int nFootRow_ = 0;
  int nRow_ = 0;
  int nHelpTopic_ = 0;
  bool bCancel_ = true;
  bool bBack_ = false;
  bool bNext_ = true;
  std::function<int()> tick_;
};

}  // namespace tarvium::ui
