// The wizard pages as Windows dialogs, one asking function per kind of page, and the table that
// picks the one a request asks for. Each function builds its page on a WizardPage
// (wizard_page.h), runs it and returns the page's result with the entered values written back
// into the request. Control numbers a page adds are named beside its function.
#pragma once
#include "ui/options_page.h"
#include "ui/user_interface.h"
#include "ui/win32/dialog_session.h"

namespace tarvium::ui::win32 {

using DialogPageFunction = int (*)(DialogSession& session, PageRequest& request);

// The administrator, same-version, from-CD, shared and mode pages (choice_pages.h): each
// choice's button has its result as its number.
int ShowChoicePage(DialogSession& session, PageRequest& request);
int ShowLicencePage(DialogSession& session, PageRequest& request);  // text 7301
int ShowInfoPage(DialogSession& session, PageRequest& request);     // text 7301
// Both directory pages: the directory 6201 (an edit, or a drop-down list), Browse 6205.
int ShowDirectoryPage(DialogSession& session, PageRequest& request);
int ShowUserPage(DialogSession& session, PageRequest& request);  // name 6305, company 6307
int ShowDiskPage(DialogSession& session, PageRequest& request);  // 6601, Browse 6605, Skip 996
int ShowValuePage(DialogSession& session, PageRequest& request);  // 6801, Browse 6806
// The list 7601, its countdown 7602 and meter 7603.
int ShowProcessesPage(DialogSession& session, PageRequest& request);
// The text 7701, the countdown 7702 and its meter 7703.
int ShowRestartPage(DialogSession& session, PageRequest& request);
// The tree 6401, the count line 6402, the size 6403, the space warning 6404, Description 6405.
int ShowOptionsDialog(DialogSession& session, OptionsPage& page);

DialogPageFunction DialogPageOf(PageKind kind);

}  // namespace tarvium::ui::win32
