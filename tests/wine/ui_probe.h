// The Wine tests' side of ui_probe.dll (tests/wine/ui_probe.cpp): loads it into the running
// installer and calls its functions there, each on a thread of the installer's own that
// answers in its exit code.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <cwchar>
#include <string>

#include "platform/unique_handle.h"

// ProbeCursor's answers.
constexpr DWORD kOtherCursor = 0;
constexpr DWORD kAppStartingCursor = 1;
constexpr DWORD kArrowCursor = 2;

class Probe {
 public:
  // The library beside the calling program; loaded here too, to find its functions.
  explicit Probe(HANDLE process) : process_(process) {
    wchar_t path[MAX_PATH] = {};
    std::wstring library(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    library.replace(library.rfind(L'\\') + 1, std::wstring::npos, L"ui_probe.dll");
    local_.Reset(LoadLibraryW(library.c_str()));
    const SIZE_T bytes = (library.size() + 1) * sizeof(wchar_t);
    void* name = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!local_.IsValid() || name == nullptr ||
        !WriteProcessMemory(process, name, library.c_str(), bytes, nullptr)) {
      return;
    }
    const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    if (Run(load, name) != 0) remote_ = RemoteBase(GetProcessId(process));
    VirtualFreeEx(process, name, 0, MEM_RELEASE);
  }

  bool Loaded() const { return remote_ != nullptr; }

  // The function's answer; 0 when it cannot be called.
  DWORD Call(const char* function, const void* argument = nullptr) const {
    const FARPROC local = GetProcAddress(local_.Get(), function);
    if (!Loaded() || local == nullptr) return 0;
    const auto offset =
        reinterpret_cast<const BYTE*>(local) - reinterpret_cast<const BYTE*>(local_.Get());
    return Run(reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(remote_ + offset)),
               const_cast<void*>(argument));
  }

 private:
  DWORD Run(LPTHREAD_START_ROUTINE start, void* argument) const {
    const UniqueKernelHandle thread(
        CreateRemoteThread(process_, nullptr, 0, start, argument, 0, nullptr));
    DWORD answer = 0;
    if (!thread.IsValid() || WaitForSingleObject(thread.Get(), 30000) != WAIT_OBJECT_0 ||
        !GetExitCodeThread(thread.Get(), &answer)) {
      return 0;
    }
    return answer;
  }

  // Where the library lies in the installer.
  static BYTE* RemoteBase(DWORD processId) {
    const UniqueFileHandle modules(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32W module{};
    module.dwSize = sizeof(module);
    for (BOOL more = Module32FirstW(modules.Get(), &module); more;
         more = Module32NextW(modules.Get(), &module)) {
      if (_wcsicmp(module.szModule, L"ui_probe.dll") == 0) return module.modBaseAddr;
    }
    return nullptr;
  }

  HANDLE process_;
  UniqueModule local_;
  BYTE* remote_ = nullptr;
};
