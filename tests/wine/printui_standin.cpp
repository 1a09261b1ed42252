// A stand-in for the printer UI entry point, for the Wine tests (Wine's own changes nothing):
// it records each command line it is started with, with its current folder and environment,
// and carries out /if as the platform's does
// as far as the tests need: it reads the INF it is given, refuses one that does not offer the
// model named by /m for this processor or whose install section's data file is not beside it,
// and adds the printer (on Wine's PostScript driver); /y makes the printer the default. Its
// options, in the registry (standin_log.h): HoldMs makes each command take that long; Relink
// ("LINK TARGET") re-points a link as the command starts. For the benchmarks, Idle makes it
// change nothing, and EndLog names a file to which it appends when each command ends, in ms of
// the performance counter, which all processes share.
#include <windows.h>

#include <setupapi.h>
#include <shellapi.h>
#include <winspool.h>

#include <cstdio>
#include <cwchar>

#include "tests/wine/standin_log.h"

namespace {

void RecordEnd() {
  const std::wstring path = StandinOption(L"EndLog");
  if (path.empty()) return;
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  char line[32];
  const int length = std::snprintf(
      line, sizeof(line), "%.3f\n",
      1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart));
  AppendToFile(path.c_str(), line, static_cast<DWORD>(length));
}

// True when the INF offers the model for this processor, with its data file beside the INF.
bool OffersModel(const wchar_t* path, const wchar_t* model) {
  const HINF inf = SetupOpenInfFileW(path, nullptr, INF_STYLE_WIN4, nullptr);
  if (inf == INVALID_HANDLE_VALUE) return false;
  INFCONTEXT line;
  wchar_t models[MAX_PATH] = {};
  wchar_t install[MAX_PATH] = {};
  wchar_t data[MAX_PATH] = {};
  const bool offered =
      SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &line) &&
      SetupGetStringFieldW(&line, 1, models, MAX_PATH, nullptr) &&
      SetupFindFirstLineW(
          inf, (std::wstring(models) + (sizeof(void*) == 8 ? L".NTamd64" : L".NTx86")).c_str(),
          model, &line) &&
      SetupGetStringFieldW(&line, 1, install, MAX_PATH, nullptr) &&
      SetupFindFirstLineW(inf, install, L"DataFile", &line) &&
      SetupGetStringFieldW(&line, 1, data, MAX_PATH, nullptr);
  SetupCloseInfFile(inf);
  const std::wstring file = path;
  const std::wstring folder = file.substr(0, file.rfind(L'\\') + 1);
  return offered && GetFileAttributesW((folder + data).c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

extern "C" __declspec(dllexport) void WINAPI PrintUIEntryW(HWND, HINSTANCE, LPCWSTR command, int) {
  AppendStandinLog(GetCommandLineW());
  wchar_t folder[MAX_PATH] = {};
  wchar_t temp[MAX_PATH] = {};
  wchar_t root[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  GetEnvironmentVariableW(L"TEMP", temp, MAX_PATH);
  GetEnvironmentVariableW(L"SystemRoot", root, MAX_PATH);
  AppendLine(STANDIN_CONTEXT_PATH, std::wstring(folder) + L"|" + temp + L"|" + root);
  std::string relink;
  for (const wchar_t c : StandinOption(L"Relink")) relink += static_cast<char>(c);
  const size_t space = relink.find(' ');
  if (space != std::string::npos) Relink(relink.substr(0, space), relink.substr(space + 1));
  const std::wstring hold = StandinOption(L"HoldMs");
  if (!hold.empty()) Sleep(static_cast<DWORD>(_wtoi(hold.c_str())));
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(command, &count);
  // The value after each of these switches.
  const wchar_t* const switches[4] = {L"/n", L"/r", L"/m", L"/f"};
  wchar_t* values[4] = {};
  for (int i = 0; i + 1 < count; ++i) {
    for (int s = 0; s < 4; ++s) {
      if (std::wcscmp(arguments[i], switches[s]) == 0) values[s] = arguments[i + 1];
    }
  }
  if (StandinOption(L"Idle").empty() && count > 0 && values[0] != nullptr) {
    if (std::wcscmp(arguments[0], L"/if") == 0 && values[1] != nullptr && values[2] != nullptr &&
        values[3] != nullptr && OffersModel(values[3], values[2])) {
      AddWinePrinter(values[0], values[1], values[2]);
    } else if (std::wcscmp(arguments[0], L"/y") == 0) {
      SetDefaultPrinterW(values[0]);
    }
  }
  LocalFree(arguments);
  RecordEnd();
}
