// What the product identity takes from the machine when the setup information file leaves it
// open: the user and company names of the person installing, and which of the two sets of shell
// folders (the current user's or all users') the shortcut variables name.
#pragma once

namespace tarvium {

struct SetupRun;

// An empty User or Company takes "RegisteredOwner" or "RegisteredOrganization" from the
// CurrentVersion key of Windows, then of Windows NT, then "DefName" or "DefCompany" of the
// "MS User Info" section of the user's profile (WIN.INI).
void FillUserAndCompany(SetupRun& run);
// Desktop, Programs, StartMenu and Startup take the Common* folders with "CommonShellLinks",
// the User* folders without.
void ChooseShellLinkFolders(SetupRun& run);

}  // namespace tarvium
