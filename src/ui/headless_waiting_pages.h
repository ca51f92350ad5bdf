// The pages that count down, answered without a person: the restart warning and the programs that
// must end. Each writes one line on standard error. The restart warning is waited out second by
// second on the machine's clock as the page would count (others on the machine may still save
// their work); a warning that waits for OK, which nobody can press, proceeds at once. The
// processes page proceeds with OK when it would by itself (no programs, or a time-out: nobody is
// there to keep it open); without a time-out it takes the caller's default.
#pragma once
#include "platform/clock.h"
#include "platform/console.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

// Without a clock the countdown is not waited for.
int AnswerRestartPage(platform::Console& console, platform::Clock* clock,
                      const PageRequest& request);
int AnswerProcessesPage(platform::Console& console, const PageRequest& request);

}  // namespace tarvium::ui
