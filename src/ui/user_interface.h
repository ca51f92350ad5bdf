// The user interface of a run, as the engine and the script engine see it: message boxes, the
// wait cursor while a started program runs, and the message pump that keeps the windows alive
// (and lets a Cancel reach the run) during long operations, and the wizard pages of a run, of
// which the options page has a model of its own (options_page.h). The progress window joins it
// later. The run holds one backend: headless (standard error, default answers) or text mode (newt
// pages in a terminal); a Win32 backend will draw real windows.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/options_page.h"

namespace tarvium::ui {

enum class IconKind { Stop, Exclamation, Question, Information };

struct MessageButton {
  std::string label;  // with its '&' access-key mark
  int nResult = 2;
};

// A label as it reads, without its '&' access-key marks ("&No" -> "No").
inline std::string LabelText(const std::string& label) {
  std::string text;
  for (char c : label)
    if (c != '&') text += c;
  return text;
}

struct MessageBoxRequest {
  int nMessage = 0;  // the catalog number, which is also the help topic of the box
  std::string caption;
  std::string text;
  IconKind icon = IconKind::Information;
  std::vector<MessageButton> buttons;  // the buttons to create, in order
  size_t nDefault = 0;                 // index of the default button
  bool bSystemModal = false;
  bool bBeep = false;  // play the icon's sound when the box opens
  // A box that closes by itself after this many milliseconds, answered with its default button;
  // 0 waits for a person.
  uint32_t nTimeoutMs = 0;
  // Set by the backend when the box closed by itself (its time ran out, or a backend without a
  // person let it run out at once) rather than by a button press.
  mutable bool bTimedOut = false;
};

// The wizard pages the main sequence asks. Choice pages end with the number of the choice taken
// (the administrator page with 7202 or 7205, the same-version page with 7004 to 7007, ...).
enum class PageKind {
  Admin,          // file server 7202 or workstation 7205
  SameVersion,    // Add/Remove 7004, Repeat 7005, New 7006, Uninstall 7007
  Licence,        // terms of use: Yes 1, No 2
  Info,           // information text: Next 1
  FromCD,         // local installation 7102 or start from CD 7105
  Shared,         // local 6905 or from the server 6902
  Mode,           // full 6102, standard 6105, custom 6108
  Directory,      // the application directory (text 5036)
  DataDirectory,  // the data directory (text 5037)
  User,           // user name and company
  Disk,           // insert the medium: try again 1, skip 996, cancel 2; value is the source
                  // directory, which the person may change before trying again
  Value,          // one value of a prompt: text is the label, value the entry (Next 1)
  Processes,      // programs that must end (items): OK 1 ends them, Cancel 2
  Restart,        // the restart or shutdown warning (text) with a countdown: Yes 6 at zero;
                  // value: the countdown text with "%d" for the seconds, empty for the page's own
};

inline constexpr int kPageNext = 1;
inline constexpr int kPageCancel = 2;
inline constexpr int kPageBack = 998;
inline constexpr int kPageSkip = 996;
inline constexpr int kRestartNow = 6;  // the restart page counted down to zero (Yes)

// The choices of the choice pages, as their results.
inline constexpr int kChoiceAddRemove = 7004;  // same-version page
inline constexpr int kChoiceRepeat = 7005;
inline constexpr int kChoiceNewInstance = 7006;
inline constexpr int kChoiceUninstall = 7007;
inline constexpr int kChoiceFileServer = 7202;  // administrator page
inline constexpr int kChoiceWorkstation = 7205;
inline constexpr int kChoiceLocal = 7102;  // from-CD page
inline constexpr int kChoiceFromCD = 7105;
inline constexpr int kChoiceFromServer = 6902;  // shared page
inline constexpr int kChoiceLocalShared = 6905;
inline constexpr int kModeFull = 6102;  // mode page; also SetupContext::iInstallMode
inline constexpr int kModeStandard = 6105;
inline constexpr int kModeCustom = 6108;

struct PageRequest {
  PageKind kind = PageKind::Info;
  std::string text;         // the terms of use, the information text or the page's explanation
  std::string value;        // in and out: the directory, or the user name
  std::string secondValue;  // in and out: the company
  int nDefaultChoice = kPageNext;  // what a page answered without a person takes
  bool bBack = false;              // Back is offered: a page was shown before
  bool bCancel = true;             // Cancel is offered
  bool bHideUninstall = false;     // the same-version page offers no Uninstall
  bool bBrowse = false;            // a value page offers Browse for a directory
  bool bSecret = false;            // a value page hides its entry (a password)
  // A value page: the prompt's line, which a run connected to the setup service sends instead
  // of showing the page ("PROMPT=<line>").
  std::string promptLine;
  std::string fullSize;            // the mode page: the sizes put into the "%s" of the full
  std::string standardSize;        // and the standard choice
  std::vector<std::string> items;  // the programs of the processes page
  // The countdown of the processes, restart and value pages in seconds (a value page then ends
  // with its default); negative: no countdown.
  int nSeconds = -1;
  // The processes page proceeds as if OK had been pressed once this says none of its programs
  // runs any more; empty: never asked.
  std::function<bool()> isSettled;
};

// What every page and box shows of the run, asked each time one opens: the main window's title
// (the page title), the language of the labels, whether a help file is known (Help is offered),
// and whether the run is silent (nobody is asked: a backend that draws answers as the headless one
// does, and never opens its screen).
struct RunFrame {
  std::string title = "Setup";
  uint32_t lcidLanguage = 0x0409;
  bool bHelp = false;
  bool bSilent = false;
  // The main window: whether it is shown (not in a removal), its look (the two colours of its
  // gradient, 0x00BBGGRR, kNoBackgroundColor: no gradient; its background picture and logo, files,
  // empty: none), and whether it fills the screen (not when the setup service shows the run). The
  // pages' picture is a file or a resource of the program (empty: the resource "LOGO").
  uint32_t crBackgroundFrom = 0xFF0000;
  uint32_t crBackgroundTo = 0;
  std::string backgroundPicture;
  std::string logo;
  std::string wizardPicture;
  bool bMainWindow = true;
  bool bMaximized = true;
};

inline constexpr uint32_t kNoBackgroundColor = 0xFFFFFFFFu;

// The backend's way back to the run, given once when the run takes the backend
// (ConnectUserInterface). Entries left empty: a default frame, message 5509 and others answered
// with their default (Yes for the abort question), Help does nothing.
struct RunLink {
  std::function<RunFrame()> frame;
  // Asks a catalog message through the box route (error file, service, catalog texts) and returns
  // its result; the pages ask 5509 "Do you really want to abort the installation?" through it.
  std::function<int(int nMessage)> askMessage;
  // Opens the help topic of a page or box in the run's help file.
  std::function<void(int nTopic)> showHelp;
  // The text of a catalog string in the run's language ("%d of %d components selected").
  std::function<std::string(int nText)> catalogText;
};

// The progress window of the installation run: open from the start of the copy to its end.
struct ProgressWindowRequest {
  bool bCancel = true;   // its Cancel button, which asks 5509 ("DisableCancelButton" hides it)
  bool bSilent = false;  // a silent run with progress: no window; a backend may draw a line
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Shows a modal box and returns the result number of the button pressed.
  virtual int MessageBox(const MessageBoxRequest& request) = 0;
  // The cursor for work in the background, on or off.
  virtual void SetWaitCursor(bool bOn) = 0;
  // Disables (false) or enables again (true) the main and progress windows while a started
  // program is waited for.
  virtual void EnableMainWindows(bool bEnable) = 0;
  // Dispatches the pending window messages. False when a quit message arrived or the user asked
  // to cancel; the caller then ends its wait.
  virtual bool PumpMessages() = 0;
  // Asks one wizard page and returns its result number; entered values are written back. A
  // backend without pages takes the page's default.
  virtual int ShowPage(PageRequest& request) { return request.nDefaultChoice; }
  // Asks the options page: toggles go to page.toggle; returns 1 Next, 998 Back or 2 Cancel (after
  // message 5509 was answered Yes, as on every page). A backend without pages keeps the selection
  // as it is and answers Next.
  virtual int ShowOptions(OptionsPage& page) {
    (void)page;
    return kPageNext;
  }
  // The run's frame and message route; a backend that shows nothing ignores it.
  virtual void ConnectRun(RunLink link) { (void)link; }
  // Opens and closes the progress window; ShowProgress and ShowStatus fill it while it is open.
  virtual void OpenProgressWindow(const ProgressWindowRequest& request) { (void)request; }
  virtual void CloseProgressWindow() {}
  // The progress meter's percentage (0 to 100); -1 resets the meter and clears the text.
  virtual void ShowProgress(int nPercent) { (void)nPercent; }
  // The two lines of the main window that say what is being worked on ("Copying:" the source,
  // "to:" the destination).
  virtual void ShowStatus(const std::string& firstLine, const std::string& secondLine) {
    (void)firstLine;
    (void)secondLine;
  }
};

}  // namespace tarvium::ui
