// The vocabulary of script sections: every command name with its pass rule and handler, in one
// table searched without regard to case. A two-character word ending in ':' changes the drive;
// any other word is started as a program.
#include <array>

#include "platform/ansi_case.h"
#include "script/command_handlers.h"

namespace tarvium {
namespace {

using enum PassRule;

constexpr std::array kCommands = {
    CommandEntry{"Abort", EveryPassBelow10, AbortCommand},
    CommandEntry{"AbortReboot", InPass, AbortRebootCommand},
    CommandEntry{"AbortSilent", EveryPassBelow10, AbortSilentCommand},
    CommandEntry{"Exit", EveryPassBelow10, ExitCommand},
    CommandEntry{"AddEventSource", UndoInRemoval, ServiceCommand},
    CommandEntry{"AddService", Both, ServiceCommand},
    CommandEntry{"DeleteService", InPass, ServiceCommand},
    CommandEntry{"StartService", InPass, ServiceCommand},
    CommandEntry{"StopService", InPass, ServiceCommand},
    CommandEntry{"AddMonitor", InPass, PrinterCommand},
    CommandEntry{"AddPort", InPass, PrinterCommand},
    CommandEntry{"AddPrintProcessor", InPass, PrinterCommand},
    CommandEntry{"AddPrintProvider", InPass, PrinterCommand},
    CommandEntry{"AddPrinterDriver", InPass, PrinterCommand},
    CommandEntry{"AddPrinter", UndoInRemoval, PrinterCommand},
    CommandEntry{"AddPrinterConnection", UndoInRemoval, PrinterCommand},
    CommandEntry{"DeleteAllPrinters", InPass, PrinterCommand},
    CommandEntry{"DeleteMonitor", InPass, PrinterCommand},
    CommandEntry{"DeletePort", InPass, PrinterCommand},
    CommandEntry{"DeletePrinter", InPass, PrinterCommand},
    CommandEntry{"DeletePrinterConnection", InPass, PrinterCommand},
    CommandEntry{"DeletePrinterDriver", InPass, PrinterCommand},
    CommandEntry{"DeletePrintProcessor", InPass, PrinterCommand},
    CommandEntry{"DeletePrintProvider", InPass, PrinterCommand},
    CommandEntry{"AddMeter", Both, AddMeterCommand},
    CommandEntry{"Append", InPass, AppendCommand},
    CommandEntry{"AskKillProcesses", InPass, AskKillProcessesCommand},
    CommandEntry{"Beep", Both, BeepCommand},
    CommandEntry{"BlockInput", InPass, BlockInputCommand},
    CommandEntry{"Call", InPass, CallCommand},
    CommandEntry{"CallHidden", InPass, CallHiddenCommand},
    CommandEntry{"CallRunAs", InPass, CallRunAsCommand},
    CommandEntry{"CallRunAsHidden", InPass, CallRunAsHiddenCommand},
    CommandEntry{"CD", Both, ChDirCommand},
    CommandEntry{"ChDir", Both, ChDirCommand},
    CommandEntry{"CloseWindow", InPass, CloseWindowCommand},
    CommandEntry{"CollapseEnv", Both, CollapseEnvCommand},
    CommandEntry{"ReplaceEnv", Both, ReplaceEnvCommand},
    CommandEntry{"Copy", UndoInRemoval, CopyCommand},
    CommandEntry{"DDE", InPass, DdeCommand},
    CommandEntry{"Del", InPass, DelCommand},
    CommandEntry{"Erase", InPass, DelCommand},
    CommandEntry{"DelTree", InPass, DelTreeCommand},
    CommandEntry{"DeleteXml", InPass, DeleteXmlCommand},
    CommandEntry{"UpdateXml", InPass, UpdateXmlCommand},
    CommandEntry{"Echo", InPass, EchoCommand},
    CommandEntry{"ErrorLogMsg", InPass, ErrorLogMsgCommand},
    CommandEntry{"EmptyClipboard", Both, EmptyClipboardCommand},
    CommandEntry{"Extract", InPass, ExtractCommand},
    CommandEntry{"For", Both, ForCommand, true},
    CommandEntry{"If", Both, IfCommand},
    CommandEntry{"Increment", BothMarkedOnly, IncrementCommand, true},
    CommandEntry{"Decrement", BothMarkedOnly, DecrementCommand, true},
    CommandEntry{"Multiply", BothMarkedOnly, MultiplyCommand, true},
    CommandEntry{"Divide", BothMarkedOnly, DivideCommand, true},
    CommandEntry{"KillProcess", InPass, KillProcessCommand},
    CommandEntry{"MD", UndoInRemoval, MkDirCommand},
    CommandEntry{"MkDir", UndoInRemoval, MkDirCommand},
    CommandEntry{"RD", InPass, RmDirCommand},
    CommandEntry{"RmDir", InPass, RmDirCommand},
    CommandEntry{"Ren", UndoInRemoval, RenCommand},
    CommandEntry{"Rename", UndoInRemoval, RenCommand},
    CommandEntry{"RenDir", UndoInRemoval, RenDirCommand},
    CommandEntry{"PlaySound", InPass, PlaySoundCommand},
    CommandEntry{"ShowPicture", InPass, ShowPictureCommand},
    CommandEntry{"Prompt", BothMarkedOnly, PromptCommand},
    CommandEntry{"RegAsm", InPass, RegAsmCommand},
    CommandEntry{"Rem", Both, RemCommand},
    CommandEntry{"ReplaceRegValue", InPass, ReplaceRegValueCommand},
    CommandEntry{"ReplaceTextFile", InPass, ReplaceTextFileCommand},
    CommandEntry{"ReplaceVars", InPass, ReplaceVarsCommand},
    CommandEntry{"Set", Both, SetCommand},
    CommandEntry{"SetReboot", InPass, SetRebootCommand},
    CommandEntry{"Sleep", InPass, SleepCommand},
    CommandEntry{"SplashDialogOn", InPass, SplashDialogOnCommand},
    CommandEntry{"SplashDialogText", Both, SplashDialogTextCommand},
    CommandEntry{"SplashDialogOff", InPass, SplashDialogOffCommand},
    CommandEntry{"SystemShutdown", InPass, SystemShutdownCommand},
    CommandEntry{"Unzip", InPass, UnzipCommand},
    CommandEntry{"Unrar", InPass, UnrarCommand},
    CommandEntry{"Zip", InPass, ZipCommand},
    CommandEntry{"WaitUntilFileExists", InPass, WaitUntilFileExistsCommand},
    CommandEntry{"WaitUntilProcessExists", InPass, WaitUntilProcessExistsCommand},
    CommandEntry{"WaitWhileProcessExists", InPass, WaitWhileProcessExistsCommand},
    CommandEntry{"WaitUntilRegKeyExists", InPass, WaitUntilRegKeyExistsCommand},
};

constexpr CommandEntry kDriveCommand{"X:", Both, DriveCommand};
constexpr CommandEntry kProgramCommand{"", InPass, StartProgramCommand};

}  // namespace

const CommandEntry* FindCommand(std::string_view name) {
  if (name.size() == 2 && name[1] == ':') return &kDriveCommand;
  for (const CommandEntry& entry : kCommands)
    if (platform::AnsiEqualNoCase(entry.name, name)) return &entry;
  return nullptr;
}

const CommandEntry& ProgramCommand() {
  return kProgramCommand;
}

}  // namespace tarvium
