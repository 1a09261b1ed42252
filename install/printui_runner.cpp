#include "install/printui_runner.h"

#include "install/printui_command.h"
#include "platform/system_folder.h"
#include "platform/wide_text.h"

namespace {

// Six variables, each a name and a system path or two.
constexpr std::size_t kEnvironmentWidth = 6 * (16 + 2 * kSystemPathWidth);

// Appends "name=value" and its terminator to an environment block of used characters.
bool AppendVariable(WCHAR (&block)[kEnvironmentWidth], std::size_t& used, const WCHAR* name,
                    const WCHAR* value, const WCHAR* suffix = TEXT("")) {
  WCHAR* const entry = block + used;
  const std::size_t room = kEnvironmentWidth - used - 1;  // the block's final terminator
  entry[0] = 0;
  if (!WideAppend(entry, room, name) || !WideAppend(entry, room, TEXT("=")) ||
      !WideAppend(entry, room, value) || !WideAppend(entry, room, suffix)) {
    return false;
  }
  used += WideLength(entry, room) + 1;
  block[used] = 0;
  return true;
}

// The command's environment, from the system's own folders only. The program's own comes in
// part from the user's registry (HKCU\Environment), which any program of the user can write:
// a TEMP or SystemRoot of the user's choosing would steer what the elevated printer UI reads
// and loads. Sorted by name, as the platform expects.
bool BuildSystemEnvironment(const WCHAR* windows, const WCHAR* system,
                            WCHAR (&block)[kEnvironmentWidth]) {
  WCHAR drive[3] = {windows[0], windows[0] != 0 ? windows[1] : TEXT('\0'), 0};
  WCHAR path[2 * kSystemPathWidth] = {};
  std::size_t used = 0;
  block[0] = 0;
  return WideCopy(path, system) && WideAppend(path, TEXT(";")) && WideAppend(path, windows) &&
         AppendVariable(block, used, TEXT("PATH"), path) &&
         AppendVariable(block, used, TEXT("SystemDrive"), drive) &&
         AppendVariable(block, used, TEXT("SystemRoot"), windows) &&
         AppendVariable(block, used, TEXT("TEMP"), windows, TEXT("\\Temp")) &&
         AppendVariable(block, used, TEXT("TMP"), windows, TEXT("\\Temp")) &&
         AppendVariable(block, used, TEXT("windir"), windows);
}

int ReportLaunchFailure(DWORD code) {
  MessageBoxW(nullptr, LaunchErrorText(code), TEXT("ERROR"), MB_OK | MB_ICONERROR);
  return 0;
}

}  // namespace

int RunPrintUiCommand(const WCHAR* command, UniqueKernelHandle& process) {
  process.Reset();
  // The machine's own rundll32, by full path and started in the system folder: never one that
  // the program's folder or the current folder offers, and never through the shell, whose
  // file associations the user's own registry can override.
  WCHAR program[kSystemPathWidth] = {};
  WCHAR folder[kSystemPathWidth] = {};
  WCHAR windows[kSystemPathWidth] = {};
  WCHAR environment[kEnvironmentWidth] = {};
  WCHAR line[kSystemPathWidth + kCommandWidth + 3] = {};
  if (!NativeSystemFilePath(TEXT("rundll32.exe"), program) || !SystemFolder(folder) ||
      !SystemWindowsFolder(windows)) {
    return ReportLaunchFailure(GetLastError());
  }
  if (!BuildSystemEnvironment(windows, folder, environment) || !WideCopy(line, TEXT("\"")) ||
      !WideAppend(line, program) || !WideAppend(line, TEXT("\" ")) || !WideAppend(line, command)) {
    return ReportLaunchFailure(ERROR_FILENAME_EXCED_RANGE);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program, line, nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                      environment, folder, &startup, &started)) {
    return ReportLaunchFailure(GetLastError());
  }
  const UniqueKernelHandle thread(started.hThread);
  process.Reset(started.hProcess);
  WaitForSingleObject(process.Get(), kCommandTimeoutMs);
  return 1;
}
