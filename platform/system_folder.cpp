#include "platform/system_folder.h"

#include "platform/wide_text.h"

namespace {

// Fills folder with what query, a folder lookup of the platform's shape, reports: the
// length on success, the size it needs when the buffer is too small, 0 on failure.
template <typename Query>
bool ReadFolder(Query query, WCHAR (&folder)[kSystemPathWidth]) {
  const UINT length = query(folder, kSystemPathWidth);
  if (length > 0 && length < kSystemPathWidth) return true;
  if (length != 0) SetLastError(ERROR_FILENAME_EXCED_RANGE);
  folder[0] = 0;
  return false;
}

// Appends "\" (unless folder already ends with one, as a drive's root does) and name.
bool Join(WCHAR (&path)[kSystemPathWidth], const WCHAR* name) {
  const std::size_t length = WideLength(path, kSystemPathWidth);
  const bool separated = length > 0 && path[length - 1] == TEXT('\\');
  if ((separated || WideAppend(path, TEXT("\\"))) && WideAppend(path, name)) return true;
  path[0] = 0;
  SetLastError(ERROR_FILENAME_EXCED_RANGE);
  return false;
}

}  // namespace

bool SystemFolder(WCHAR (&folder)[kSystemPathWidth]) {
  return ReadFolder(GetSystemDirectoryW, folder);
}

bool SystemWindowsFolder(WCHAR (&folder)[kSystemPathWidth]) {
  return ReadFolder(GetSystemWindowsDirectoryW, folder);
}

bool SystemWindowsFilePath(const WCHAR* name, WCHAR (&path)[kSystemPathWidth]) {
  return SystemWindowsFolder(path) && Join(path, name);
}

bool SystemFilePath(const WCHAR* name, WCHAR (&path)[kSystemPathWidth]) {
  return SystemFolder(path) && Join(path, name);
}

bool NativeSystemFilePath(const WCHAR* name, WCHAR (&path)[kSystemPathWidth]) {
  BOOL wow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &wow64)) {
    path[0] = 0;
    return false;
  }
  if (!wow64) return SystemFilePath(name, path);
  return SystemWindowsFilePath(TEXT("Sysnative"), path) && Join(path, name);
}
