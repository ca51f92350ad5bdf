// What a run connected to the setup service (/G) asks of it. The service pipe sits above the
// engine (it reads the run, the variables and the option table), so it attaches itself to the
// run (AttachServicePipe) as the script and installation engines attach their hooks; a run
// without it has no service, and a /G run then fails where it would open the pipe. The engine's
// steps reach the service only through ConnectedService (setup_run.h), which is null in a run
// that is not connected.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/user_interface.h"

namespace tarvium {

struct SetupRun;

// The dialog requests of the service, by their number in the service's name table.
enum class ServiceDialog {
  AskUser,           // "askuser" (never sent by this engine)
  AskDir,            // "askdir": the proposed directory; the first value is the answer
  AskDataDir,        // "askdatadir"
  AskMode,           // "askmode": the mode as "%d"
  AskFromCD,         // "askfromcd"
  AskShared,         // "askshared": the shared page's mode as "%d"
  AskLicence,        // "asklicence": the terms of use
  AskInfo,           // "askinfo": the information text
  AskUninstallOld,   // "askuninstallold": the previous version's name; asked once
  GetPathName,       // "getpathname": the path, ";" and the filter; asked once
  Admin,             // "admin"
  InstSame,          // "instsame"
  FileNotFound,      // "filenotfound": the missing file; the first value is its new place
  AskKillProcesses,  // "askkillprocesses": the text and the running processes
  GetDisk,           // "getdisk" (never sent by this engine)
};

class SetupService {
 public:
  virtual ~SetupService() = default;

  // The opening: "init" and the answers to the service's questions until "endinit"; false ends
  // the run.
  virtual bool PipeInit(SetupRun& run) = 0;
  // One request and its reply text: ERROR_SUCCESS or the Windows error of the transport.
  virtual uint32_t Exchange(SetupRun& run, const std::string& request, std::string& reply) = 0;

  // A dialog asked through the service, repeated on Cancel until message 5509 is answered Yes
  // (except the dialogs asked once); the result as the dialog's buttons give it, 2 on failure.
  // values receives the values of the reply.
  virtual int AskDialog(SetupRun& run, ServiceDialog nDialog, const std::string& parameter,
                        std::vector<std::string>& values) = 0;
  // A wizard page through its dialog request, converted to the page's own results (the choice
  // numbers of the choice pages); entered values are written back. A page without a request
  // (the user page) is asked of the run's user interface.
  virtual int AskPage(SetupRun& run, ui::PageRequest& page) = 0;
  // A prompt line ("PROMPT=<line>"): the result, with the first value as the answer unless the
  // result is 2 or the reply holds no value.
  virtual int AskPrompt(SetupRun& run, const std::string& promptLine, std::string& answer) = 0;
  // The options exchange; the selection of the option table follows the reply. The page result.
  virtual int GetOptions(SetupRun& run) = 0;

  // Notifications; a failure is only traced.
  virtual void SetProgressPos(SetupRun& run, int64_t nMaximum, int64_t nPosition) = 0;
  virtual void SetProgressText(SetupRun& run, const std::string& text) = 0;
  virtual void Echo(SetupRun& run, const std::string& text) = 0;
  virtual void PlaySound(SetupRun& run, const std::string& soundFile) = 0;
  virtual void ShowPicture(SetupRun& run, const std::string& pictureFile) = 0;
  // The progress text "sleep <ms>"; the caller waits itself.
  virtual void Sleep(SetupRun& run, uint32_t dwMilliseconds) = 0;
  // A splash line sent as the whole request; false when the exchange failed.
  virtual bool Splash(SetupRun& run, const std::string& line) = 0;

  // "exit" at the end of the run, then the pipe is closed.
  virtual void PipeExit(SetupRun& run) = 0;
  // Closes the pipe without a request (a run that did not start).
  virtual void ClosePipe() = 0;
};

}  // namespace tarvium
