// Simulated kernel and user calls: last error, module path, system folders, sleeps, local
// memory, message boxes.
#include <cstdlib>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

namespace {
thread_local DWORD lastError = 0;
}

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD code) { lastError = code; }

DWORD GetModuleFileNameW(HMODULE, LPWSTR fileName, DWORD size) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::GetModuleFileNameW, machine.modulePath, {}, size});
  if (machine.TakeFailure(Call::GetModuleFileNameW) || size == 0) return 0;
  const std::u16string& path = machine.modulePath;
  // As on Windows: a path that does not fit is truncated to size - 1 characters, terminated,
  // and reported with the full size and ERROR_INSUFFICIENT_BUFFER.
  if (path.size() >= size) {
    path.copy(fileName, size - 1);
    fileName[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  path.copy(fileName, path.size());
  fileName[path.size()] = 0;
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

namespace {
// As the platform reports a folder: its length when it fits with the terminator, the size it
// needs when it does not, 0 on failure.
UINT ReportFolder(Call call, const std::u16string& folder, LPWSTR buffer, UINT size) {
  sim::Machine& machine = TheMachine();
  machine.Record({call, folder, {}, size});
  if (machine.TakeFailure(call)) return 0;
  if (folder.size() >= size) return static_cast<UINT>(folder.size() + 1);
  folder.copy(buffer, folder.size());
  buffer[folder.size()] = 0;
  return static_cast<UINT>(folder.size());
}
}  // namespace

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) {
  return ReportFolder(Call::GetSystemDirectoryW, TheMachine().systemDirectory, buffer, size);
}

UINT GetSystemWindowsDirectoryW(LPWSTR buffer, UINT size) {
  return ReportFolder(Call::GetSystemWindowsDirectoryW, TheMachine().windowsDirectory, buffer,
                      size);
}

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }

BOOL IsWow64Process(HANDLE process, BOOL* wow64) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::IsWow64Process});
  if (machine.TakeFailure(Call::IsWow64Process)) return FALSE;
  if (process != GetCurrentProcess()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *wow64 = machine.wow64 ? TRUE : FALSE;
  return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::CloseHandle, {}, {}, reinterpret_cast<std::uintptr_t>(handle)});
  if (machine.openHandles.erase(handle) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

void Sleep(DWORD milliseconds) { TheMachine().Record({Call::Sleep, {}, {}, milliseconds}); }

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::LocalAlloc, {}, {}, bytes});
  if (machine.TakeFailure(Call::LocalAlloc)) return nullptr;
  void* memory =
      (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  machine.liveBuffers.insert(memory);
  return memory;
}

HLOCAL LocalFree(HLOCAL memory) {
  if (memory == nullptr) return nullptr;
  if (TheMachine().liveBuffers.erase(memory) == 0) return memory;
  std::free(memory);
  return nullptr;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
  sim::Event event{Call::MessageBoxW, text ? text : u"", caption ? caption : u"", type};
  event.owner = owner;
  TheMachine().Record(event);
  return 1;  // IDOK
}
