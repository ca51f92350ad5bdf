// SetupContext: the state of one run. The switch fields of the command line come first, with the
// sizes their texts are cut to; later parts of the engine add their run-mode flags, product
// identity and end-of-run fields here; each field is documented where it is read.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvium {

inline constexpr size_t kShortTextSize = 256;  // names and short values, with their zero byte
inline constexpr size_t kPathSize = 1025;      // paths, with their zero byte

inline constexpr uint32_t kNoColor = 0xFFFFFFFFu;  // a colour that is not drawn

// Run flags of /X that the main sequence tests.
inline constexpr uint32_t kRunFlagMachinePart = 0x02;  // the run leaves the current user's part out
inline constexpr uint32_t kRunFlagKeepRunIfInstalled = 0x04;  // RunIfInstalled is not started
inline constexpr uint32_t kRunFlagNoRestart = 0x08;  // a restart is reported, never performed

// "UninstallOptions" bits.
inline constexpr uint32_t kUninstallSystemComponent = 0x1;
inline constexpr uint32_t kUninstallNoRemove = 0x2;
inline constexpr uint32_t kUninstallNoRepair = 0x4;
inline constexpr uint32_t kUninstallNoModify = 0x8;

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
  std::string szErrorFile;         // /E[+]<File> as given: a leading '+' asks to append
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
  std::string szPlanFile;                 // /Plan:<File>: the run changes nothing, writes a plan
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
  // ReadProductIdentity fills this block. The identity values themselves (ProductName, Version,
  // MachineKeyName, ApplicationDir, User, ...) are predefined variables, not fields.
  uint32_t nFormatVersion = 0x300;      // [Setup] "Version": (major << 8) | minor, 4.1 -> 0x410
  std::string szWindowTitle = "Setup";  // text 5000, then "SetupName"
  int32_t nCallTimeOut = -1;            // "CallTimeOut" in milliseconds; -1: no limit
  bool bAbortAfterCallTimeOut = false;  // "AbortAfterCallTimeOut"
  // [Setup]
  bool bShowCaption = false;    // main window with caption and frame instead of a pop-up
  bool bTopmostWindow = false;  // main window stays above all others
  bool bBlockInput = false;     // no keyboard and mouse input during the installation run
  // [Application]: texts and pictures of the main window and the pages
  std::array<std::string, 10> szBackgroundText;  // "Text1".."Text10" with their layout fields
  std::string szInfoText;                // background line, from format 0x511 the info page text
  std::string szUserText;                // background line followed by "%User%, %Company%"
  std::string szLogo;                    // logo picture file of the main window
  std::string szWizardPicture;           // empty: the resource "LOGO"
  std::string szCopyFilePicture;         // empty: the resource "POWER32SM"
  std::string szBackgroundPicture;       // background picture file of the main window
  uint32_t crBackgroundFrom = 0xFF0000;  // "BackgroundColor": gradient colours, kNoColor: none
  uint32_t crBackgroundTo = 0;
  std::string szCopyDialogRect;  // placement of the progress window
  // [Application]: removal registration and directories
  int32_t nReinstallMode = 0;       // repeat mode of the registered repeat command
  int32_t nHideUninstall = 0;       // above 1: the same-version page offers no uninstall
  uint32_t dwUninstallOptions = 0;  // kUninstallSystemComponent | ...
  std::string szSrcDirOverride;     // "SrcDir": source directory relative to or instead of /P
  // [Application]: programs, extension library, cabinets
  std::string szReadme;             // file shown at the end
  std::string szExecute;            // program started at the end
  std::string szShowShellFolder;    // folder opened at the end (variables replaced)
  std::string szRunIfInstalled;     // started instead of the run when this version is installed
  std::string szSetupExtDll;        // extension library
  std::string szSetupHookFunc;      // its hook function; empty: "SetupHookFunc"
  bool bSetupExtIsUnicode = false;  // the hook takes UTF-16 texts
  std::string szCabTemplateName;    // [Disks] name pattern of the cabinet files
  // [Application]: behaviour
  bool bServiceRelease = false;      // a same-version installation is repeated
  bool bExpand = true;               // section processing and file copy expand files
  bool bCopyExistingFiles = false;   // file copy
  int32_t iAskUninstallOld = 0;      // 1 offer to remove an older version, 2 remove and restart
  bool bAskLicence = false;          // terms-of-use page
  bool bAskInfo = false;             // info page
  bool bAskFromCD = false;           // local installation or start from CD
  bool bAskShared = true;            // local installation or start from the server
  bool bAskMode = false;             // full, standard or custom installation
  bool bAskDir = false;              // application directory page
  bool bAskDataDir = false;          // data directory page
  bool bAskUser = false;             // user name and company page
  bool bUseUser = true;              // the user page has the name field
  bool bUseCompany = true;           // the user page has the company field
  int32_t nUseCheckmarks = 2;        // picture style of the option tree
  bool bAutoIniFileMapping = false;  // INI-file handling
  bool bShellLinks = false;          // program-group handling
  bool bCommonShellLinks = false;    // Desktop, Programs, ... are the all-users folders
  bool bCreateUnresolvableShellLinks = true;  // shortcut handling
  bool bWarnRegistry = true;                  // registry lines ask on failures
  bool bDateWarning = true;                   // section processing
  bool bSizeWarning = true;                   // section processing
  bool bPreventExternalReboot = false;  // a log-off or shutdown request of the system is refused
  bool bStartServicesOnReboot = false;  // service handling
  bool bUseRegSvr = false;              // COM registration
  bool bReplaceRunOnce = false;         // installation run
  bool bDisableCancelButton = false;    // pages and progress window offer no Cancel
  bool bShowEndMessage = true;          // end message (not read with /S4)
  bool bShowFullPath = false;           // progress display
  // [Application] keys the main sequence uses later
  std::string szUseStringSection;     // string section when no language section exists
  std::string szUseSysStringSection;  // the same for the system strings
  std::string szBackgroundSound;
  std::string szLicenceTextFileName;  // terms of use from a file ...
  std::string szLicenceText;          // ... or from this value
  bool bAskInfoUpdate = false;        // the info page also in a repair
  std::string szPrompts;              // "Prompts" (or "Prompt"): the prompt sections
  // The answers of the prompts ("NAME=value", a secret one scrambled), recorded with the
  // product's registration and deleted by name with it.
  std::vector<std::string> answeredPrompts;
  std::string szEndMessage;
  std::string szRequirementsText;  // shown when a requirement fails
  // [Admin], [Workstation] and [Client]
  bool bAdminAskOptions = false;        // [Admin] "AskOptions"
  std::string szAdminApplicationDir;    // [Admin] "ApplicationDir"
  bool bAdminAskDir = false;            // [Admin] "AskDir"
  bool bAdminInstallation = false;      // [Admin] "AdminSetup": this is an administrator copy
  std::string szAdminClientSrcDir;      // [Admin] "ClientSrcDir"
  std::string szAdminEndMessage;        // [Admin] "EndMessage"
  std::string szAdminUninstallString;   // [Admin] "UninstallString"
  std::string szAdminReinstallString;   // [Admin] "ReinstallString"
  bool bWorkstationAskOptions = false;  // [Workstation] "AskOptions"
  bool bClientAskOptions = true;        // [Client] "AskOptions"
  int32_t iClientReboot = 0;            // [Client] "Reboot"
  bool bClientAskDir = false;           // [Client] "AskDir"
  std::string szClientDir;              // [Client] "ClientDir"
  bool bUseUninstallStringFromApplication = false;  // [Client]

  // --- Run mode, decided against the installed product ------------------------------------------
  bool bUserPartRun = false;    // only the per-user part of a machine-registered product is applied
  bool bClientSetup = false;    // the application starts from the server
  bool bInstalled = false;      // a product with this machine key is installed
  bool bNewerRevision = false;  // the file's revision is newer than the installed one
  bool bAskOptions = true;      // the options page may be shown
  int32_t iInstallMode = 0;     // 6102 full, 6105 standard, 6108 custom (the mode page's results)

  // --- End of the run ----------------------------------------------------------------------------
  bool bOk = true;                  // the run goes on; false stops every later phase
  bool bStoppedForRestart = false;  // stopped without failure: a previous version was removed
  bool bAborted = false;        // the run's abort flag: set by Cancel answers, tested by every step
  bool bAbortedReboot = false;  // aborted, but a restart is still due
  bool bAbortedBySetupData = false;  // a /V mismatch or an unmet requirement stopped the run
  bool bExitCommand = false;         // a script ended the run with "Exit"
  bool bAbortSilent = false;         // a script ended the run with "AbortSilent"
  std::string szExitText;            // the text of "Exit", "Abort", "AbortReboot", "AbortSilent"
  int32_t iReboot = 0;  // 0 none decided, 1 restart Windows, 2 no restart, 3 log off, 4 shut
                        // down, 5 restart the computer
  bool bRestartWindows = false;    // a change needs a restart of Windows
  bool bConfigChanged = false;     // a change needs a restart of the computer
  bool bFontsChanged = false;      // a font was added or removed: WM_FONTCHANGE at the end
  bool bReadmeExists = false;      // the file the Application key Readme names was copied
  bool bExitWindows = false;       // the end of the run restarts, logs off or shuts down
  uint32_t uExitWindowsFlags = 0;  // 0 log off, 2 restart, 8 power off
};

// A machine-part run sets up the machine and leaves what belongs to the current user alone: the
// lines on the user's registry root, the user's own shortcuts and data sources, and at removal
// the product's and the options' per-user keys. A workstation setup is one by its nature; run
// flag 2 (/X2) makes any other run one.
inline bool IsMachinePartRun(const SetupContext& ctx) {
  return ctx.bWorkstationSetup || (ctx.dwRunFlags & kRunFlagMachinePart) != 0;
}

}  // namespace tarvium
