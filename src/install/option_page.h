// The options page from the installation engine's side: the page model built from the option
// table, a toggle applied by the selection rule of the option tree (with the refusal that keeps a
// fixed group's choice), and the asking of the page on the run's user interface. The selection
// lives in the option table throughout, so Back keeps what was chosen and the install pass reads
// the table as the page left it.
#pragma once
#include "ui/options_page.h"

namespace tarvium {

struct SetupRun;

// Fills the page from the run's option table: hidden options are not listed (their listed
// descendants move up), always-installed options are listed but cannot be toggled and are not
// counted. Sets the page's toggle, which works on this run.
void FillOptionsPage(SetupRun& run, ui::OptionsPage& page);

// Shows the options page on the run's user interface; the run's askOptions. Returns the page's
// 1 Next, 998 Back or 2 Cancel. A run without an interface keeps its selection and goes on.
int ShowOptionsPage(SetupRun& run, bool bBack);

}  // namespace tarvium
