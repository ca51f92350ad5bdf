// <windows.h> as the Win32 services include it: without its rarely used parts and without the min
// and max macros, which would meet the C++ library's names. Only .cpp files include it, after the
// project's own headers, whose constants share names with Windows' macros.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
