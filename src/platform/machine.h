// The machine a setup runs on: every operating-system service the engine uses, reached through
// one object that the run holds. The emulated machine implements it over a directory; a Win32
// backend will implement it over the real system.
#pragma once
#include "platform/access_control.h"
#include "platform/accounts.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/com_library.h"
#include "platform/console.h"
#include "platform/dde.h"
#include "platform/debugger_output.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/font_table.h"
#include "platform/modules.h"
#include "platform/named_pipe.h"
#include "platform/network.h"
#include "platform/odbc_installer.h"
#include "platform/power.h"
#include "platform/processes.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/spooler.h"
#include "platform/system_info.h"
#include "platform/top_level_windows.h"
#include "platform/window_broadcast.h"

namespace platform {

class Machine {
 public:
  virtual ~Machine() = default;
  virtual FileSystem& Files() = 0;
  virtual Registry& Reg() = 0;
  virtual Profile& Profiles() = 0;
  virtual Environment& Env() = 0;
  virtual SystemInfo& System() = 0;
  virtual Processes& Programs() = 0;
  virtual Clock& Time() = 0;
  virtual Power& PowerRequests() = 0;
  virtual Network& Net() = 0;
  virtual Console& Output() = 0;
  virtual Modules& Libraries() = 0;  // run-time loaded libraries and their trust check
  // Where OutputDebugString text goes.
  virtual DebuggerOutput& Debugger() = 0;
  virtual Accounts& Users() = 0;  // users, groups, logons and domain controllers
  virtual Clipboard& Clip() = 0;
  // DDE conversations with the machine's servers (the shell's Program Manager).
  virtual Dde& DdeServers() = 0;
  virtual WindowBroadcast& Broadcasts() = 0;  // setting-change messages to all windows
  virtual FontTable& Fonts() = 0;             // the system's font resources
  virtual NamedPipes& Pipes() = 0;            // "\\.\pipe\NAME", client and server ends
  // The top-level windows of the running programs (CloseWindow lists and closes them).
  virtual TopLevelWindows& TopWindows() = 0;
  // Printers, drivers, monitors, ports, print processors and providers.
  virtual Spooler& Printing() = 0;
  virtual ServiceManager& Services() = 0;  // services and drivers
  // Access lists of files, shares, registry keys and printers.
  virtual AccessControl& Access() = 0;
  // The ODBC installer library: drivers, translators and data sources.
  virtual OdbcInstaller& Odbc() = 0;
  // The COM library: initialisation and the registration of type libraries.
  virtual ComLibrary& Com() = 0;
};

}  // namespace platform
