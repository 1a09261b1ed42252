// Where the stand-in printer UI entry point records the command lines it receives: one
// UTF-16LE line per command, in the throwaway prefix, for the test programs to read back.
// The impostors that a test plants where the installer must not look record there too.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#define STANDIN_LOG_PATH L"C:\\standin-commands.txt"

inline void AppendToFile(const wchar_t* path, const void* bytes, DWORD size) {
  HANDLE file =
      CreateFileW(path, FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, bytes, size, &written, nullptr);
  CloseHandle(file);
}

inline void AppendStandinLog(const std::wstring& line) {
  const std::wstring text = line + L"\n";
  AppendToFile(STANDIN_LOG_PATH, text.data(), static_cast<DWORD>(text.size()) * sizeof(wchar_t));
}

// The recorded lines, each without the program's own path (empty when nothing ran).
inline std::vector<std::wstring> RecordedCommands() {
  std::vector<std::wstring> commands;
  HANDLE file = CreateFileW(STANDIN_LOG_PATH, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return commands;
  std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()) * sizeof(wchar_t), &read, nullptr);
  CloseHandle(file);
  text.resize(read / sizeof(wchar_t));
  for (size_t start = 0, end = 0; (end = text.find(L'\n', start)) != std::wstring::npos;
       start = end + 1) {
    const std::wstring line = text.substr(start, end - start);
    const size_t program =
        !line.empty() && line[0] == L'"' ? line.find(L'"', 1) + 1 : line.find(L' ');
    commands.push_back(program < line.size() ? line.substr(program + 1) : line);
  }
  return commands;
}
