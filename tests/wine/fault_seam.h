// The fault seam (tests/wine/fault_inject.cpp) as the test programs use it: fault_inject.dll
// beside the test program, loaded into the installer before its first instruction with the
// faults of INSTALLER_FAULT, or into the test program itself; and its report.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/wine/standin_log.h"

#define SEAM_REPORT_PATH L"C:\\seam-report.txt"

inline std::wstring SeamPath() {
  wchar_t path[MAX_PATH] = {};
  const std::wstring own(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return own.substr(0, own.rfind(L'\\') + 1) + L"fault_inject.dll";
}

// Makes the suspended first thread of a new process load the seam when it starts: the queued
// call runs once the loader has set the process up, before the program's first instruction
// (LoadLibraryW lies at the same address in both processes).
inline bool QueueSeam(HANDLE process, HANDLE thread) {
  const std::wstring library = SeamPath();
  const SIZE_T bytes = (library.size() + 1) * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const auto load = reinterpret_cast<PAPCFUNC>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  return remote != nullptr &&
         WriteProcessMemory(process, remote, library.c_str(), bytes, nullptr) &&
         QueueUserAPC(load, thread, reinterpret_cast<ULONG_PTR>(remote));
}

// The lines of the last report: empty while no seam has reported.
inline std::vector<std::wstring> SeamReport() { return ReadLines(SEAM_REPORT_PATH); }

// Its "held" lines: the objects left open.
inline std::vector<std::wstring> Held(const std::vector<std::wstring>& report) {
  std::vector<std::wstring> held;
  for (const std::wstring& line : report) {
    if (line.rfind(L"held ", 0) == 0) held.push_back(line);
  }
  return held;
}

inline bool Reported(const std::vector<std::wstring>& report, const std::wstring& line) {
  for (const std::wstring& reported : report) {
    if (reported == line) return true;
  }
  return false;
}
