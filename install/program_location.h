// Where the program and its driver package lie, from the program's own path: its folder, and
// the package's INF below it.
#pragma once

#include <cstddef>

#include "platform/win32.h"

constexpr std::size_t kPathWidth = 260;

// Sets directory to the program's folder with its trailing backslash, and infPath to
// "<folder>PrinterDriver\series2\OEMPRINT.INF", from the program's path as GetModuleFileNameW
// wrote it into a buffer of kPathWidth characters, length being what the call returned.
// Returns 1; or 0 with both empty when the call failed (0) or had to truncate the path
// (kPathWidth: a truncated path names a folder that does not hold the program), when the path
// names no folder, or when the INF path would not fit.
int LocateProgram(const WCHAR* path, DWORD length, WCHAR (&directory)[kPathWidth],
                  WCHAR (&infPath)[kPathWidth]);
