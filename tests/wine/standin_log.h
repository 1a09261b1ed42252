// Where the stand-in printer UI entry point records the command lines it receives: one
// UTF-16LE line per command, in the throwaway prefix, for the test programs to read back.
#pragma once

#include <windows.h>

#include <string>

#define STANDIN_LOG_PATH L"C:\\standin-commands.txt"

// The whole log as text, empty when the stand-in never ran.
inline std::wstring ReadStandinLog() {
  HANDLE file = CreateFileW(STANDIN_LOG_PATH, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::wstring text(GetFileSize(file, nullptr) / sizeof(wchar_t), L'\0');
  DWORD read = 0;
  ReadFile(file, text.data(), static_cast<DWORD>(text.size()) * sizeof(wchar_t), &read, nullptr);
  CloseHandle(file);
  text.resize(read / sizeof(wchar_t));
  return text;
}
