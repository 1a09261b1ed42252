// A stand-in for the printer UI entry point, for the Wine tests (Wine's own changes nothing):
// it records each command line it is started with, and carries out /if (adds the printer, on
// Wine's PostScript driver) and /y (makes it the default). PRINTUI_STANDIN_HOLD_MS makes each
// command take that long. For the benchmarks, PRINTUI_STANDIN_IDLE makes it change nothing, and
// PRINTUI_STANDIN_END_LOG names a file to which it appends when each command ends, in ms of the
// performance counter, which all processes share.
#include <windows.h>

#include <shellapi.h>
#include <winspool.h>

#include <cstdio>
#include <cwchar>

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

void InstallPrinter(wchar_t* name, wchar_t* port, wchar_t* model) {
  wchar_t wineps[] = L"wineps.drv";
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = model;
  driver.pDriverPath = driver.pDataFile = driver.pConfigFile = wineps;
  AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES);
  wchar_t processor[] = L"winprint";
  wchar_t datatype[] = L"RAW";
  PRINTER_INFO_2W printer{};
  printer.pPrinterName = name;
  printer.pPortName = port;
  printer.pDriverName = model;
  printer.pPrintProcessor = processor;
  printer.pDatatype = datatype;
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (added == nullptr) std::fprintf(stderr, "standin: AddPrinterW failed (%lu)\n", GetLastError());
  if (added != nullptr) ClosePrinter(added);
}

}  // namespace

extern "C" __declspec(dllexport) void WINAPI PrintUIEntryW(HWND, HINSTANCE, LPCWSTR command, int) {
  AppendStandinLog(GetCommandLineW());
  wchar_t hold[16] = {};
  if (GetEnvironmentVariableW(L"PRINTUI_STANDIN_HOLD_MS", hold, 16) > 0) {
    Sleep(static_cast<DWORD>(_wtoi(hold)));
  }
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(command, &count);
  // The value after each of these switches.
  const wchar_t* const switches[3] = {L"/n", L"/r", L"/m"};
  wchar_t* values[3] = {};
  for (int i = 0; i + 1 < count; ++i) {
    for (int s = 0; s < 3; ++s) {
      if (std::wcscmp(arguments[i], switches[s]) == 0) values[s] = arguments[i + 1];
    }
  }
  const bool idle = GetEnvironmentVariableW(L"PRINTUI_STANDIN_IDLE", nullptr, 0) > 0;
  if (!idle && count > 0 && values[0] != nullptr) {
    if (std::wcscmp(arguments[0], L"/if") == 0 && values[1] != nullptr && values[2] != nullptr) {
      InstallPrinter(values[0], values[1], values[2]);
    } else if (std::wcscmp(arguments[0], L"/y") == 0) {
      SetDefaultPrinterW(values[0]);
    }
  }
  LocalFree(arguments);
  RecordEnd();
}
