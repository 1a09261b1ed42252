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
#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <cwctype>
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
  HANDLE file =
      CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

// Splits the command as the platform's entry point does: blanks separate, quotes group.
std::vector<std::wstring> SplitArguments(const wchar_t* text) {
  std::vector<std::wstring> arguments;
  while (*text != 0) {
    while (*text == L' ') ++text;
    if (*text == 0) break;
    std::wstring argument;
    bool quoted = false;
    for (; *text != 0 && (quoted || *text != L' '); ++text) {
      if (*text == L'"') {
        quoted = !quoted;
      } else {
        argument += *text;
      }
    }
    arguments.push_back(argument);
  }
  return arguments;
}

std::wstring Switch(const std::vector<std::wstring>& arguments, const wchar_t* name) {
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (_wcsicmp(arguments[i].c_str(), name) == 0) return arguments[i + 1];
  }
  return {};
}

bool Has(const std::vector<std::wstring>& arguments, const wchar_t* name) {
  for (const auto& argument : arguments) {
    if (_wcsicmp(argument.c_str(), name) == 0) return true;
  }
  return false;
}

// True when [Manufacturer] leads, for this processor's decoration, to a models section that
// lists the model.
bool InfOffersModel(const std::wstring& infPath, const std::wstring& model) {
#ifdef _WIN64
  const wchar_t* decoration = L"NTamd64";
#else
  const wchar_t* decoration = L"NTx86";
#endif
  HINF inf = SetupOpenInfFileW(infPath.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
  if (inf == INVALID_HANDLE_VALUE) {
    std::fprintf(stderr, "standin: cannot open INF (%lu)\n", GetLastError());
    return false;
  }
  bool found = false;
  INFCONTEXT manufacturer;
  for (BOOL more = SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &manufacturer);
       more && !found; more = SetupFindNextLine(&manufacturer, &manufacturer)) {
    wchar_t section[256];
    if (!SetupGetStringFieldW(&manufacturer, 1, section, 256, nullptr)) continue;
    const DWORD fields = SetupGetFieldCount(&manufacturer);
    for (DWORD field = 2; field <= fields && !found; ++field) {
      wchar_t target[64];
      if (!SetupGetStringFieldW(&manufacturer, field, target, 64, nullptr)) continue;
      if (_wcsicmp(target, decoration) != 0) continue;
      std::wstring models = std::wstring(section) + L"." + target;
      INFCONTEXT line;
      found = SetupFindFirstLineW(inf, models.c_str(), model.c_str(), &line) != FALSE;
    }
  }
  SetupCloseInfFile(inf);
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
  const std::vector<std::wstring> arguments = SplitArguments(command);
  const std::wstring name = Switch(arguments, L"/n");
  const bool idle = GetEnvironmentVariableW(L"PRINTUI_STANDIN_IDLE", nullptr, 0) > 0;
  if (!idle && Has(arguments, L"/if")) {
    const std::wstring model = Switch(arguments, L"/m");
    if (InfOffersModel(Switch(arguments, L"/f"), model)) {
      InstallPrinter(name, Switch(arguments, L"/r"), model);
    }
  } else if (!idle && Has(arguments, L"/y")) {
    if (!SetDefaultPrinterW(name.c_str())) {
      std::fprintf(stderr, "standin: SetDefaultPrinterW failed (%lu)\n", GetLastError());
    }
  }
  RecordEnd();
}
