#include "script/user_interface_link.h"

#include "engine/debug_output.h"
#include "engine/setup_run.h"
#include "script/message_catalog.h"

namespace tarvium {

static_assert(kNoColor == ui::kNoBackgroundColor, "the run and its windows mean one colour");

void ConnectUserInterface(SetupRun& run, std::unique_ptr<ui::UserInterface> userInterface) {
  run.ui = std::move(userInterface);
  if (!run.ui) return;
  ui::RunLink link;
  link.frame = [&run] {
    ui::RunFrame frame;
    frame.title = run.ctx.szWindowTitle;
    frame.lcidLanguage = run.messages.lcidLanguage;
    frame.bHelp = !run.messages.szHelpFile.empty() && !run.messages.bSystemModal;
    frame.bSilent = run.ctx.bSilent;
    frame.crBackgroundFrom = run.ctx.crBackgroundFrom;
    frame.crBackgroundTo = run.ctx.crBackgroundTo;
    frame.backgroundPicture = run.ctx.szBackgroundPicture;
    frame.logo = run.ctx.szLogo;
    frame.wizardPicture = run.ctx.szWizardPicture;
    frame.bMainWindow = !run.ctx.bUninstall;
    frame.bMaximized = !run.ctx.bServiceMode;
    return frame;
  };
  link.askMessage = [&run](int nMessage) { return ShowMessage(run, nMessage); };
  link.showHelp = [&run](int nTopic) {
    DebugOutput(run, "Help: topic " + std::to_string(nTopic) + " of " + run.messages.szHelpFile);
  };
  link.catalogText = [&run](int nText) { return GetText(run, nText); };
  run.ui->ConnectRun(std::move(link));
}

}  // namespace tarvium
