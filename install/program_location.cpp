#include "install/program_location.h"

#include "platform/wide_text.h"

int LocateProgram(const WCHAR* path, DWORD length, WCHAR (&directory)[kPathWidth],
                  WCHAR (&infPath)[kPathWidth]) {
  // cppcheck takes the unit test's arrays of kPathWidth for empty ones.
  // cppcheck-suppress ctuArrayIndex
  directory[0] = 0;
  // cppcheck-suppress ctuArrayIndex
  infPath[0] = 0;
  if (length == 0 || length >= kPathWidth) return 0;
  std::size_t end = length;
  while (end > 0 && path[end - 1] != TEXT('\\')) --end;
  WCHAR folder[kPathWidth] = {};
  if (end == 0 || !WideCopy(folder, path)) return 0;
  folder[end] = 0;
  if (!WideCopy(infPath, folder) || !WideAppend(infPath, TEXT("PrinterDriver\\")) ||
      !WideAppend(infPath, TEXT("series2\\OEMPRINT.INF"))) {
    infPath[0] = 0;
    return 0;
  }
  return WideCopy(directory, folder) ? 1 : 0;
}
