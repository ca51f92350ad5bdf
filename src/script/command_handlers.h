// The handlers of the script commands, by family; the command table (command_table.cpp) binds
// them to names and pass rules. Each returns the line's result: true to go on.
#pragma once
#include "script/script_command.h"

namespace tarvium {

// Files (file_commands.cpp, copy_command.cpp).
bool CopyCommand(CommandCall& call);
bool DelCommand(CommandCall& call);
bool DelTreeCommand(CommandCall& call);
bool RenCommand(CommandCall& call);
bool AppendCommand(CommandCall& call);

// Directories and the current directory (directory_commands.cpp).
bool MkDirCommand(CommandCall& call);
bool RmDirCommand(CommandCall& call);
bool RenDirCommand(CommandCall& call);
bool ChDirCommand(CommandCall& call);
bool DriveCommand(CommandCall& call);

// Variables and the environment (variable_commands.cpp, counter_commands.cpp).
bool SetCommand(CommandCall& call);
bool ReplaceEnvCommand(CommandCall& call);
bool CollapseEnvCommand(CommandCall& call);
bool IncrementCommand(CommandCall& call);
bool DecrementCommand(CommandCall& call);
bool MultiplyCommand(CommandCall& call);
bool DivideCommand(CommandCall& call);

// Control flow and the end of the run (run_end_commands.cpp, for_command.cpp).
bool AbortCommand(CommandCall& call);
bool AbortRebootCommand(CommandCall& call);
bool AbortSilentCommand(CommandCall& call);
bool ExitCommand(CommandCall& call);
bool SetRebootCommand(CommandCall& call);
bool IfCommand(CommandCall& call);
bool RemCommand(CommandCall& call);
bool ForCommand(CommandCall& call);

// Programs and processes (program_commands.cpp), waiting (wait_commands.cpp).
bool CallCommand(CommandCall& call);
bool CallHiddenCommand(CommandCall& call);
bool CallRunAsCommand(CommandCall& call);
bool CallRunAsHiddenCommand(CommandCall& call);
bool RegAsmCommand(CommandCall& call);
bool SystemShutdownCommand(CommandCall& call);
bool StartProgramCommand(CommandCall& call);
bool KillProcessCommand(CommandCall& call);
bool SleepCommand(CommandCall& call);
bool WaitUntilFileExistsCommand(CommandCall& call);
bool WaitUntilProcessExistsCommand(CommandCall& call);
bool WaitWhileProcessExistsCommand(CommandCall& call);
bool WaitUntilRegKeyExistsCommand(CommandCall& call);

// Archives (archive_commands.cpp).
bool UnzipCommand(CommandCall& call);
bool UnrarCommand(CommandCall& call);
bool ZipCommand(CommandCall& call);
bool ExtractCommand(CommandCall& call);

// XML and text files (xml_commands.cpp, text_replace_commands.cpp).
bool UpdateXmlCommand(CommandCall& call);
bool DeleteXmlCommand(CommandCall& call);
bool ReplaceTextFileCommand(CommandCall& call);
bool ReplaceRegValueCommand(CommandCall& call);
bool ReplaceVarsCommand(CommandCall& call);

// What the user sees and hears (ui_commands.cpp, window_commands.cpp, prompt_command.cpp).
bool EchoCommand(CommandCall& call);
bool ErrorLogMsgCommand(CommandCall& call);
bool BeepCommand(CommandCall& call);
bool BlockInputCommand(CommandCall& call);
bool EmptyClipboardCommand(CommandCall& call);
bool PlaySoundCommand(CommandCall& call);
bool ShowPictureCommand(CommandCall& call);
bool SplashDialogOnCommand(CommandCall& call);
bool SplashDialogTextCommand(CommandCall& call);
bool SplashDialogOffCommand(CommandCall& call);
bool AddMeterCommand(CommandCall& call);
bool DdeCommand(CommandCall& call);
bool PromptCommand(CommandCall& call);
bool CloseWindowCommand(CommandCall& call);
bool AskKillProcessesCommand(CommandCall& call);

// System components: services and event sources through their hook (system_commands.cpp), the
// printing system through the machine's spooler (printer_commands.cpp).
bool ServiceCommand(CommandCall& call);
bool PrinterCommand(CommandCall& call);

}  // namespace tarvium
