// <windows.h> and the common controls as the Windows dialogs include them: the wide-character
// forms throughout (the dialogs show UTF-16 text), so the resource names of the system's cursors
// and icons are wide too. The interface of the
// run names its box function MessageBox, which <windows.h> would turn into MessageBoxW, so the
// macro goes; the dialogs call the system's boxes, where they need one, by their wide names.
#pragma once
#ifndef UNICODE
#define UNICODE
#endif
// The platform's constants the dialogs meet (errors, file attributes) come first: <windows.h>
// has macros of the same names.
#include "platform/file_system.h"
#include "platform/win32/windows_api.h"

#include <commctrl.h>

#undef MessageBox
