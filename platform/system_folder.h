// Full paths in the system's own folders, for every program the installer starts and every
// library it loads by itself. A bare name would be looked for in the program's folder and in
// the current folder first, where anybody can plant a file of that name; the program runs
// elevated, so it never uses one.
#pragma once

#include "platform/win32.h"

constexpr UINT kSystemPathWidth = MAX_PATH;

// The system folder (GetSystemDirectoryW), e.g. "C:\Windows\system32".
bool SystemFolder(WCHAR (&folder)[kSystemPathWidth]);

// The Windows folder (GetSystemWindowsDirectoryW), e.g. "C:\Windows": the system's own, never
// a per-user one.
bool SystemWindowsFolder(WCHAR (&folder)[kSystemPathWidth]);

// name in the Windows folder, e.g. "C:\Windows\Temp".
bool SystemWindowsFilePath(const WCHAR* name, WCHAR (&path)[kSystemPathWidth]);

// name in the system folder, e.g. "C:\Windows\system32\winspool.drv": for libraries, which
// must match the program's processor (a 32-bit program on 64-bit Windows is redirected there
// to the 32-bit ones).
bool SystemFilePath(const WCHAR* name, WCHAR (&path)[kSystemPathWidth]);

// name in the machine's native system folder, for programs that must run as the machine's
// own processor: a 32-bit program on 64-bit Windows (WOW64) reaches it only through the
// Windows folder's "Sysnative" alias, because "system32" is redirected to the 32-bit one.
bool NativeSystemFilePath(const WCHAR* name, WCHAR (&path)[kSystemPathWidth]);

// Each returns false, with the target empty and the reason as the last error, when the
// platform cannot tell the folder (its own code) or the path would not fit
// (ERROR_FILENAME_EXCED_RANGE): a shortened path would name another file.
