// What the test programs and the stand-in printer UI entry point share in the throwaway prefix:
// - the log of the command lines the stand-in receives, one UTF-16LE line per command (the
//   impostors that a test plants where the installer must not look record there too);
// - the stand-in's options, in the prefix's registry: the installer starts each command with
//   the system's own environment, never the test's;
// - links re-pointed from the Linux side (run-in-wine.sh), as Wine cannot make one: a link on
//   the Wine drive behaves as a junction does on Windows.
#pragma once

#include <windows.h>

#include <winspool.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#define STANDIN_LOG_PATH L"C:\\standin-commands.txt"
// One line per command: the stand-in's current folder, TEMP and SystemRoot, separated by "|".
#define STANDIN_CONTEXT_PATH L"C:\\standin-context.txt"
#define STANDIN_OPTIONS_KEY L"Software\\Velmora tests\\Stand-in"
#define RELINK_REQUEST_PATH L"C:\\relink-request"

inline void AppendToFile(const wchar_t* path, const void* bytes, DWORD size) {
  HANDLE file =
      CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
}

// Sets (or, with no value, removes) one of the stand-in's options.
inline void SetStandinOption(const wchar_t* name, const wchar_t* value) {
  if (value == nullptr) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, STANDIN_OPTIONS_KEY, name);
    return;
  }
  const size_t bytes = (std::wcslen(value) + 1) * sizeof(wchar_t);
  RegSetKeyValueW(HKEY_CURRENT_USER, STANDIN_OPTIONS_KEY, name, REG_SZ, value,
                  static_cast<DWORD>(bytes));
}

// The option's value; empty when it is not set.
inline std::wstring StandinOption(const wchar_t* name) {
  wchar_t value[MAX_PATH] = {};
  DWORD size = sizeof(value);
  if (RegGetValueW(HKEY_CURRENT_USER, STANDIN_OPTIONS_KEY, name, RRF_RT_REG_SZ, nullptr, value,
                   &size) != ERROR_SUCCESS) {
    return {};
  }
  return value;
}

// Points the link at target, both below C:\ and written with forward slashes, making the link
// when there is none; true once the Linux side has done it.
inline bool Relink(const std::string& link, const std::string& target) {
  // Written whole, then renamed into place, so the request is never read half written.
  const std::string request = link + " " + target + "\n";
  const std::wstring writing = std::wstring(RELINK_REQUEST_PATH) + L".new";
  DeleteFileW(writing.c_str());
  AppendToFile(writing.c_str(), request.data(), static_cast<DWORD>(request.size()));
  if (!MoveFileW(writing.c_str(), RELINK_REQUEST_PATH)) return false;
  for (int waited = 0; waited < 10000; waited += 20) {
    if (GetFileAttributesW(RELINK_REQUEST_PATH) == INVALID_FILE_ATTRIBUTES) return true;
    Sleep(20);
  }
  return false;
}

inline void AppendLine(const wchar_t* path, const std::wstring& line) {
  const std::wstring text = line + L"\n";
  AppendToFile(path, text.data(), static_cast<DWORD>(text.size()) * sizeof(wchar_t));
}

inline void AppendStandinLog(const std::wstring& line) { AppendLine(STANDIN_LOG_PATH, line); }

// The lines of a UTF-16LE file written by AppendLine (none when there is no file).
inline std::vector<std::wstring> ReadLines(const wchar_t* path) {
  std::vector<std::wstring> lines;
  HANDLE file =
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()) * sizeof(wchar_t), &read, nullptr);
  CloseHandle(file);
  text.resize(read / sizeof(wchar_t));
  for (size_t start = 0, end = 0; (end = text.find(L'\n', start)) != std::wstring::npos;
       start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// The recorded command lines, each without the program's own path (empty when nothing ran).
inline std::vector<std::wstring> RecordedCommands() {
  std::vector<std::wstring> commands;
  for (const std::wstring& line : ReadLines(STANDIN_LOG_PATH)) {
    const size_t program =
        !line.empty() && line[0] == L'"' ? line.find(L'"', 1) + 1 : line.find(L' ');
    commands.push_back(program < line.size() ? line.substr(program + 1) : line);
  }
  return commands;
}

// Adds the printer on Wine's PostScript driver, installed under the model's name, as the
// platform's printer UI adds one from an INF.
inline void AddWinePrinter(const wchar_t* name, const wchar_t* port, const wchar_t* model) {
  wchar_t wineps[] = L"wineps.drv";
  DRIVER_INFO_3W driver{};
  driver.cVersion = 3;
  driver.pName = const_cast<wchar_t*>(model);
  driver.pDriverPath = driver.pDataFile = driver.pConfigFile = wineps;
  AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES);
  wchar_t processor[] = L"winprint";
  wchar_t datatype[] = L"RAW";
  PRINTER_INFO_2W printer{};
  printer.pPrinterName = const_cast<wchar_t*>(name);
  printer.pPortName = const_cast<wchar_t*>(port);
  printer.pDriverName = const_cast<wchar_t*>(model);
  printer.pPrintProcessor = processor;
  printer.pDatatype = datatype;
  HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
  if (added == nullptr) std::fprintf(stderr, "AddPrinterW failed (%lu)\n", GetLastError());
  if (added != nullptr) ClosePrinter(added);
}
