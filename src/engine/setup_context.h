// SetupContext: the state of one run. The switch fields of the command line come first, with the
// sizes their texts are cut to; later parts of the engine add their run-mode flags, product
// identity and end-of-run fields here; each field is documented where it is read.
#pragma once
#include <cstdint>
#include <string>

namespace tarvium {

inline constexpr size_t kShortTextSize = 256;  // names and short values, with their zero byte
inline constexpr size_t kPathSize = 1025;      // paths, with their zero byte

struct SetupContext {
  // --- Switches of the command line ---------------------------------------------------------
  bool bShowUsage = false;         // /?
  bool bAdminSetup = false;        // /A
  bool bAdminToServer = false;     // /AS
  bool bAdminWorkstation = false;  // /AW
  bool bWorkstationSetup = false;  // /AW, or the workstation choice of the administrator page
  std::string szTraceFile;         // /B<File>
  bool bClientSwitch = false;      // /C
  bool bFromCD = false;            // /D
  bool bDebug = false;             // /Debug
  bool bDebugStep = false;         // /Debug:1
  std::string szErrorFile;         // /E[+]<File>, without the '+'
  std::string szErrorSwitch;       // the /E value as given, for later command lines
  bool bErrorFileAppend = false;   // leading '+' of /E
  bool bMissingFilesToErrorFile = false;  // /F
  bool bServiceMode = false;              // /G
  bool bServiceModeW = false;             // /GW
  std::string szConnection;               // /I<Server>,<User ID>,<Password>
  bool bLocalOnly = false;                // /L
  bool bModify = false;                   // /M
  bool bNewInstance = false;              // /N
  std::string szOptions;                  // /O, repeated values concatenated
  std::string szSrcDir;                   // /P, with a trailing backslash
  bool bRepair = false;                   // /R
  bool bSilent = false;                   // /S...
  int32_t iSilentLevel = 0;               // /S<n>
  std::string szSilentLevel;              // the level as decimal text
  bool bSilentNoEnd = false;              // /S4
  bool bSilentToErrorPath = false;        // /SX
  bool bTestRun = false;                  // /T
  int32_t iTestKind = 0;                  // /T<n>
  bool bUninstall = false;        // /U: the run removes the product; section cursors walk backwards
  std::string szRequiredVersion;  // /V<Version>[;<Revision>]
  std::string szRequiredRevision;  //
  uintptr_t hNotifyWindow = 0;     // /W<n>
  uintptr_t hDebugWindow = 0;      // the notify window taken over as debugger window (/Debug)
  uint32_t dwRunFlags = 0;         // /X<hex>, or-ed
  std::string szForceOnceDate;     // the text after ':' of /X when bit 0x10 is set
  std::string szShutdownSpec;      // /Y<Text>,<Reboot>,<Force>,<Seconds>[,<n>]
  std::string szSetupProgram;      // /Z<File>
  std::string szInfFile;           // the non-switch argument: the setup information file

  // --- Where the run started -----------------------------------------------------------------
  std::string szExeDir;           // directory of the running executable, without trailing backslash
  std::string szStartupDir;       // the current directory when the run started
  std::string szConnectedServer;  // the server of the /I connection while it is open

  // --- Product identity and behaviour keys of the setup information file ----------------------
  uint32_t nFormatVersion = 0x300;    // [Setup] "Version": (major << 8) | minor, 4.1 -> 0x410
  std::string szWindowTitle = "Setup";  // text 5000, then "SetupName"
  int32_t nCallTimeOut = -1;            // "CallTimeOut" in milliseconds; -1: no limit
  bool bAbortAfterCallTimeOut = false;  // "AbortAfterCallTimeOut"

  // --- End of the run ----------------------------------------------------------------------------
  bool bAborted = false;  // the run's abort flag: set by Cancel answers, tested by every step
  int32_t iReboot = 0;    // "Reboot", or what a child setup asked for: 1, 3, 4, 5
};

}  // namespace tarvium
