// The box route of a message: the catalog definition becomes a request to the run's user
// interface, with the Help button only where help can be opened; with an error file attached,
// the box is written into it (a head line with date, time and the script position, the text, the
// label of the button pressed and a separator line), and a box answers itself at once with its
// default button when the run asked for that (every silent run).
#pragma once
#include <string>

#include "ui/user_interface.h"

namespace tarvium {

struct SetupRun;
struct MessageSpec;

// The request for the box: text 5000 as caption, the buttons to create and the default among
// them (the first marked one that is created, else the first created).
ui::MessageBoxRequest BuildMessageBoxRequest(const SetupRun& run, int nMessage,
                                             const MessageSpec& messageSpec,
                                             const std::string& text);
// The head of an error-file entry: "05.12.2026 22:51:07" with the user's date and time
// separators as set ("/" too), then ", Section [Copy], Line 12: " while a section line is
// processed.
std::string ErrorEntryHead(SetupRun& run);
// Shows the box (or answers it at once) and returns the result of the button pressed.
int ShowMessageBox(SetupRun& run, int nMessage, const MessageSpec& messageSpec,
                   const std::string& text);

}  // namespace tarvium
