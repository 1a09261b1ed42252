// A stand-in for the platform's printer UI entry point, for tests under Wine only. It
// records each command line it is started with, and carries out the two commands the
// installer sends: /if (install from an INF, after checking that the INF offers the model
// given by /m) and /y (make the printer the default). Wine's own entry point accepts these
// commands and changes nothing, so without the stand-in no install can succeed.
// PRINTUI_STANDIN_HOLD_MS, when set, makes each command take that long. For the benchmarks,
// PRINTUI_STANDIN_IDLE makes the stand-in change nothing, like Wine's own entry point, and
// PRINTUI_STANDIN_END_LOG names a file to which the moment each command ends is appended, in
// milliseconds of the performance counter, which all processes share.
#include <windows.h>

#include <setupapi.h>
#include <shellapi.h>
#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/wine/standin_log.h"

namespace {

void RecordEnd() {
  wchar_t path[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"PRINTUI_STANDIN_END_LOG", path, MAX_PATH) == 0) return;
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  char line[32];
  const int length = std::snprintf(
      line, sizeof(line), "%.3f\n",
      1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart));
  AppendToFile(path, line, static_cast<DWORD>(length));
}

// The command's arguments, split as the platform splits a command line.
std::vector<std::wstring> Split(const wchar_t* command) {
  int count = 0;
  LPWSTR* split = CommandLineToArgvW(command, &count);
  std::vector<std::wstring> arguments(split, split + (split != nullptr ? count : 0));
  LocalFree(split);
  return arguments;
}

// The argument after the switch; empty when there is none.
std::wstring Switch(const std::vector<std::wstring>& arguments, const wchar_t* name) {
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (_wcsicmp(arguments[i].c_str(), name) == 0) return arguments[i + 1];
  }
  return {};
}

// True when the models section that [Manufacturer] names, for this processor, lists the model.
bool InfOffersModel(const std::wstring& infPath, const std::wstring& model) {
#ifdef _WIN64
  const wchar_t* decoration = L".NTamd64";
#else
  const wchar_t* decoration = L".NTx86";
#endif
  HINF inf = SetupOpenInfFileW(infPath.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
  INFCONTEXT line;
  wchar_t section[256] = {};
  const bool found =
      inf != INVALID_HANDLE_VALUE && SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &line) &&
      SetupGetStringFieldW(&line, 1, section, 200, nullptr) &&
      SetupFindFirstLineW(inf, (section + std::wstring(decoration)).c_str(), model.c_str(), &line);
  if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
  if (!found) std::fprintf(stderr, "standin: the INF does not offer the model\n");
  return found;
}

bool InstallPrinter(const std::wstring& name, const std::wstring& port, const std::wstring& model) {
  wchar_t wineps[] = L"wineps.drv";
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<wchar_t*>(model.c_str());
  driver.pDriverPath = wineps;
  driver.pDataFile = wineps;
  driver.pConfigFile = wineps;
  if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES) &&
      GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
    std::fprintf(stderr, "standin: AddPrinterDriverExW failed (%lu)\n", GetLastError());
    return false;
  }
  wchar_t processor[] = L"winprint";
  wchar_t datatype[] = L"RAW";
  PRINTER_INFO_2W printer{};
  printer.pPrinterName = const_cast<wchar_t*>(name.c_str());
  printer.pPortName = const_cast<wchar_t*>(port.c_str());
  printer.pDriverName = const_cast<wchar_t*>(model.c_str());
  printer.pPrintProcessor = processor;
  printer.pDatatype = datatype;
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (added == nullptr) {
    std::fprintf(stderr, "standin: AddPrinterW failed (%lu)\n", GetLastError());
    return false;
  }
  ClosePrinter(added);
  return true;
}

}  // namespace

extern "C" __declspec(dllexport) void WINAPI PrintUIEntryW(HWND, HINSTANCE, LPCWSTR command, int) {
  AppendStandinLog(GetCommandLineW());
  wchar_t hold[16] = {};
  if (GetEnvironmentVariableW(L"PRINTUI_STANDIN_HOLD_MS", hold, 16) > 0) {
    Sleep(static_cast<DWORD>(_wtoi(hold)));
  }
  const std::vector<std::wstring> arguments = Split(command);
  const std::wstring name = Switch(arguments, L"/n");
  const bool idle = GetEnvironmentVariableW(L"PRINTUI_STANDIN_IDLE", nullptr, 0) > 0;
  const std::wstring verb = idle || arguments.empty() ? L"" : arguments[0];
  if (verb == L"/if") {
    const std::wstring model = Switch(arguments, L"/m");
    if (InfOffersModel(Switch(arguments, L"/f"), model)) {
      InstallPrinter(name, Switch(arguments, L"/r"), model);
    }
  } else if (verb == L"/y" && !SetDefaultPrinterW(name.c_str())) {
    std::fprintf(stderr, "standin: SetDefaultPrinterW failed (%lu)\n", GetLastError());
  }
  RecordEnd();
}
