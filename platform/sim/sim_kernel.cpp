// Simulated kernel and user calls: last error, module path, waits, sleeps, local memory,
// message boxes.
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
