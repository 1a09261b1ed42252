#include "install/printui_runner.h"

#include "platform/system_folder.h"
#include "platform/unique_handle.h"

int FormatCommandList(WCHAR (&buffer)[kCommandWidth], const WCHAR* format,
                      std::initializer_list<const WCHAR*> arguments) {
  const WCHAR* const* next = arguments.begin();
  std::size_t used = 0;
  const auto put = [&](WCHAR c) {
    if (used + 1 >= kCommandWidth) return false;
    buffer[used++] = c;
    return true;
  };
  bool fits = true;
  for (const WCHAR* f = format; fits && *f != 0; ++f) {
    if (f[0] == TEXT('%') && f[1] == TEXT('s')) {
      ++f;
      if (next == arguments.end()) {
        fits = false;
        break;
      }
      for (const WCHAR* a = *next++; fits && *a != 0; ++a) fits = put(*a);
    } else {
      fits = put(*f);
    }
  }
  if (!fits || next != arguments.end()) {
    buffer[0] = 0;
    return 0;
  }
  buffer[used] = 0;
  return 1;
}

const WCHAR* LaunchErrorText(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
      return TEXT("The specified file was not found.");
    case ERROR_PATH_NOT_FOUND:
      return TEXT("The specified path was not found.");
    case ERROR_ACCESS_DENIED:
      return TEXT("Access to the specified file is denied.");
    case ERROR_NOT_ENOUGH_MEMORY:
      return TEXT("There is not enough memory to perform the specified action.");
    case ERROR_SHARING_VIOLATION:
      return TEXT("A sharing violation occurred.");
    case ERROR_NO_ASSOCIATION:
      return TEXT("There is no application associated with the given file name extension.");
    case ERROR_DDE_FAIL:
      return TEXT("The Dynamic Data Exchange (DDE) transaction failed.");
    case ERROR_DLL_NOT_FOUND:
      return TEXT("One of the library files necessary to run the application can't be found.");
    case ERROR_CANCELLED:
      return TEXT(
          "The function prompted the user for additional information, but the user canceled "
          "the request.");
    default:
      return TEXT("Other error occurred.");
  }
}

namespace {

int ReportLaunchFailure(DWORD code) {
  MessageBoxW(nullptr, LaunchErrorText(code), TEXT("ERROR"), MB_OK | MB_ICONERROR);
  return 0;
}

}  // namespace

int RunPrintUiCommand(const WCHAR* command) {
  // The machine's own rundll32, by full path and started in the system folder: never one
  // that the program's folder or the current folder offers.
  WCHAR program[kSystemPathWidth] = {};
  WCHAR folder[kSystemPathWidth] = {};
  if (!NativeSystemFilePath(TEXT("rundll32.exe"), program) || !SystemFolder(folder)) {
    return ReportLaunchFailure(GetLastError());
  }
  SHELLEXECUTEINFOW request{};
  request.cbSize = sizeof(request);
  request.fMask = SEE_MASK_NOCLOSEPROCESS;
  request.lpVerb = TEXT("open");
  request.lpFile = program;
  request.lpParameters = command;
  request.lpDirectory = folder;
  request.nShow = SW_SHOWNORMAL;
  if (!ShellExecuteExW(&request)) return ReportLaunchFailure(GetLastError());
  // A launch may succeed without a process to wait for (the shell handed the request on).
  UniqueKernelHandle process(request.hProcess);
  if (process.IsValid()) WaitForSingleObject(process.Get(), kCommandTimeoutMs);
  return 1;
}
