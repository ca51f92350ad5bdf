// The vocabulary of script sections: every command name with its pass rule and handler, in one
// table searched without regard to case. A two-character word ending in ':' changes the drive;
// any other word is started as a program.
#include <array>

#include "platform/ansi_case.h"
#include "script/command_handlers.h"

namespace tarvium {
namespace {

using enum PassRule;
using enum ArgumentForm;

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
    CommandEntry{"AddMeter", Both, AddMeterCommand, false, Words, 1, 1},
    CommandEntry{"Append", InPass, AppendCommand, false, Words, 2, 2},
    CommandEntry{"AskKillProcesses", InPass, AskKillProcessesCommand},
    CommandEntry{"Beep", Both, BeepCommand},
    CommandEntry{"BlockInput", InPass, BlockInputCommand},
    CommandEntry{"Call", InPass, CallCommand},
    CommandEntry{"CallHidden", InPass, CallHiddenCommand},
    CommandEntry{"CallRunAs", InPass, CallRunAsCommand},
    CommandEntry{"CallRunAsHidden", InPass, CallRunAsHiddenCommand},
    CommandEntry{"CD", Both, ChDirCommand, false, Words, 1, 1},
    CommandEntry{"ChDir", Both, ChDirCommand, false, Words, 1, 1},
    CommandEntry{"CloseWindow", InPass, CloseWindowCommand},
    CommandEntry{"CollapseEnv", Both, CollapseEnvCommand},
    CommandEntry{"ReplaceEnv", Both, ReplaceEnvCommand},
    CommandEntry{"Copy", UndoInRemoval, CopyCommand, false, Paths, 2},
    CommandEntry{"DDE", InPass, DdeCommand},
    CommandEntry{"Del", InPass, DelCommand, false, Words, 1, 2},
    CommandEntry{"Erase", InPass, DelCommand, false, Words, 1, 2},
    CommandEntry{"DelTree", InPass, DelTreeCommand},
    CommandEntry{"DeleteXml", InPass, DeleteXmlCommand},
    CommandEntry{"UpdateXml", InPass, UpdateXmlCommand},
    CommandEntry{"Echo", InPass, EchoCommand},
    CommandEntry{"ErrorLogMsg", InPass, ErrorLogMsgCommand},
    CommandEntry{"EmptyClipboard", Both, EmptyClipboardCommand},
    CommandEntry{"Extract", InPass, ExtractCommand, false, Words, 2},
    CommandEntry{"For", Both, ForCommand, true},
    CommandEntry{"If", Both, IfCommand},
    CommandEntry{"Increment", BothMarkedOnly, IncrementCommand, true},
    CommandEntry{"Decrement", BothMarkedOnly, DecrementCommand, true},
    CommandEntry{"Multiply", BothMarkedOnly, MultiplyCommand, true},
    CommandEntry{"Divide", BothMarkedOnly, DivideCommand, true},
    CommandEntry{"KillProcess", InPass, KillProcessCommand, false, Text, 1, 3},
    CommandEntry{"MD", UndoInRemoval, MkDirCommand, false, Words, 1, 1},
    CommandEntry{"MkDir", UndoInRemoval, MkDirCommand, false, Words, 1, 1},
    CommandEntry{"RD", InPass, RmDirCommand, false, Words, 1, 1},
    CommandEntry{"RmDir", InPass, RmDirCommand, false, Words, 1, 1},
    CommandEntry{"Ren", UndoInRemoval, RenCommand, false, Words, 2, 2},
    CommandEntry{"Rename", UndoInRemoval, RenCommand, false, Words, 2, 2},
    CommandEntry{"RenDir", UndoInRemoval, RenDirCommand, false, Words, 2, 2},
    CommandEntry{"PlaySound", InPass, PlaySoundCommand},
    CommandEntry{"ShowPicture", InPass, ShowPictureCommand},
    CommandEntry{"Prompt", BothMarkedOnly, PromptCommand},
    CommandEntry{"RegAsm", InPass, RegAsmCommand},
    CommandEntry{"Rem", Both, RemCommand},
    CommandEntry{"ReplaceRegValue", InPass, ReplaceRegValueCommand},
    CommandEntry{"ReplaceTextFile", InPass, ReplaceTextFileCommand, false, List, 2, 4},
    CommandEntry{"ReplaceVars", InPass, ReplaceVarsCommand, false, Words, 1, 1},
    CommandEntry{"Set", Both, SetCommand},
    CommandEntry{"SetReboot", InPass, SetRebootCommand, false, Text, 1, 1},
    CommandEntry{"Sleep", InPass, SleepCommand, false, Text, 1, 1},
    CommandEntry{"SplashDialogOn", InPass, SplashDialogOnCommand},
    CommandEntry{"SplashDialogText", Both, SplashDialogTextCommand},
    CommandEntry{"SplashDialogOff", InPass, SplashDialogOffCommand},
    CommandEntry{"SystemShutdown", InPass, SystemShutdownCommand},
    CommandEntry{"Unzip", InPass, UnzipCommand, false, List, 2, 4},
    CommandEntry{"Unrar", InPass, UnrarCommand, false, List, 2, 4},
    CommandEntry{"Zip", InPass, ZipCommand, false, List, 2, 4},
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

size_t CountArguments(const CommandEntry& entry, std::string_view arguments) {
  switch (entry.form) {
    case ArgumentForm::Words:
      return WordArguments(arguments).size();
    case ArgumentForm::Text:
      return TextArguments(arguments).size();
    case ArgumentForm::List:
      return ListArguments(arguments).size();
    case ArgumentForm::Paths:
      return PathArguments(arguments).size();
    case ArgumentForm::Free:
      break;
  }
  return 0;
}

const CommandEntry& ProgramCommand() {
  return kProgramCommand;
}

}  // namespace tarvium
