// The one place the Windows headers are pulled in, with the settings every
// file of the Windows layer must agree on.
#pragma once

#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// Windows 7 is the oldest system the program is built for.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

// The platform interfaces have members named like these A/W macros; with the
// macros in force, a class implementing them would declare MessageBoxW and
// ReplaceFileW and silently fail to override. The Windows layer calls the W
// functions by their full names.
#undef MessageBox
#undef ReplaceFile
