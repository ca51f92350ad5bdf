// The labels and short explanations of the text-mode pages in German, English and French, one
// table for every page so that a language is checked in one place. The texts are UTF-8 (they go
// to the terminal as they are); the catalog's messages and the run's texts come from the engine.
// A page that needs a new text adds a name here and a row to the table.
#pragma once
#include <cstdint>

namespace tarvium::ui {

enum class PageText {
  // buttons
  Next,
  Back,
  Cancel,
  Help,
  OK,
  Skip,
  Browse,
  Yes,
  No,
  // the administrator page
  AdminHeading,
  AdminExplanation,
  AdminFileServer,
  AdminWorkstation,
  // the same-version page
  SameHeading,
  SameExplanation,
  SameAddRemove,
  SameRepeat,
  SameNew,
  SameUninstall,
  // terms of use and information
  LicenceHeading,
  LicenceQuestion,
  InfoHeading,
  // the from-CD page
  FromCDHeading,
  FromCDExplanation,
  FromCDLocal,
  FromCDStart,
  // the shared page
  SharedHeading,
  SharedExplanation,
  SharedLocal,
  SharedFromServer,
  // the mode page ("%s": the size of the mode)
  ModeHeading,
  ModeExplanation,
  ModeFull,
  ModeStandard,
  ModeCustom,
  // the directory pages
  DirectoryHeading,
  DataDirectoryHeading,
  DirectoryChoices,  // under a drop-down of directories
  // the user page
  UserHeading,
  UserExplanation,
  UserName,
  UserCompany,
  // the disk page
  DiskHeading,
  DiskExplanation,
  DiskDirectory,
  // a prompt's value page
  ValueHeading,
  // the programs-to-end page
  ProcessesHeading,
  ProcessesCountdown,  // "%d": the seconds left
  // the restart page
  RestartHeading,
  RestartCountdown,  // "%ld": the seconds left
  // the progress window
  ProgressHeading,
  // the directory chooser
  ChooserHeading,
  ChooserDrives,  // in place of a directory: the list of drives
  // the options page
  OptionsHeading,
  OptionsDescription,
  // message boxes: the icon as a marked title
  IconStop,
  IconExclamation,
  IconQuestion,
  IconInformation,
  // the key line at the foot of the screen
  KeysLine,
};

// The text in the language of the locale (German and French by their primary language, anything
// else English).
const char* TextOf(PageText text, uint32_t lcidLanguage);

}  // namespace tarvium::ui
