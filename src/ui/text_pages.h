// The text-mode pages, one asking function per kind of page, and the table that picks the one a
// request asks for. Each function builds its page on a TextPage (text_page.h), runs it and
// returns the page's result with the entered values written back into the request. A new page
// adds its function here, in a file of its own, and a row to the table in text_pages.cpp.
#pragma once
#include "ui/text_session.h"
#include "ui/user_interface.h"

namespace tarvium::ui {

using TextPageFunction = int (*)(TextSession& session, PageRequest& request);

// The administrator, same-version, from-CD, shared and mode pages (choice_pages.h).
int ShowChoicePage(TextSession& session, PageRequest& request);
int ShowLicencePage(TextSession& session, PageRequest& request);
int ShowInfoPage(TextSession& session, PageRequest& request);
int ShowDirectoryPage(TextSession& session, PageRequest& request);  // both directory pages
int ShowUserPage(TextSession& session, PageRequest& request);
int ShowDiskPage(TextSession& session, PageRequest& request);
int ShowValuePage(TextSession& session, PageRequest& request);
int ShowProcessesPage(TextSession& session, PageRequest& request);
int ShowRestartPage(TextSession& session, PageRequest& request);
// The options page has a model of its own (options_page.h) instead of a PageRequest.
int ShowTextOptionsPage(TextSession& session, OptionsPage& page);

// The asking function of a kind of page; null for a kind the text mode has no page for (the
// page is then answered with its default).
TextPageFunction TextPageOf(PageKind kind);

}  // namespace tarvium::ui
