// The print spooler's two functions that the installer uses, taken from the system folder's
// winspool.drv. The program does not import winspool.drv: it is not one of the libraries
// Windows always takes from its own folder (KnownDLLs), so the loader would take a copy
// planted beside the program, and the program runs elevated. The library is loaded by full
// path, once, at the first call of either function (from whichever thread comes first), and
// stays loaded until the process ends.
#pragma once

#include "platform/win32.h"

// As EnumPortsW and EnumPrintersW. A function that cannot be had (the system folder is not
// known, the library does not load, it lacks the function) fails as the call itself would:
// result FALSE, nothing returned, and the reason as the last error. A failed load is not
// retried: every later call fails the same way.
BOOL SpoolerEnumPorts(LPWSTR server, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed,
                      LPDWORD returned);
BOOL SpoolerEnumPrinters(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD bufferSize,
                         LPDWORD needed, LPDWORD returned);
