// The machine, and its kernel, user, shell and loader calls.
#include "platform/sim/sim_machine.h"

#include <memory>

namespace sim {

namespace {
std::unique_ptr<Machine>& Instance() {
  static std::unique_ptr<Machine> machine = std::make_unique<Machine>();
  return machine;
}
}  // namespace

Machine& TheMachine() { return *Instance(); }

void ResetMachine() {
  Instance() = std::make_unique<Machine>();
  SetLastError(0);
}

bool Machine::TakeFailure(Call call) {
  auto& scheduled = failures[call];
  const auto found = scheduled.find(++calls[call]);
  if (found == scheduled.end()) return false;
  SetLastError(found->second);
  return true;
}

std::uintptr_t Machine::New(std::u16string names) {
  nextObject += 4;
  held[nextObject] = std::move(names);
  return nextObject;
}

}  // namespace sim

using sim::TheMachine;

namespace {
thread_local DWORD lastError = 0;

// Copies text with its terminator when it fits size characters.
bool CopyOut(const std::u16string& text, LPWSTR buffer, std::size_t size) {
  if (text.size() >= size) return false;
  buffer[text.copy(buffer, text.size())] = 0;
  return true;
}

// As the platform reports a folder: its length when it fits with the terminator, the size it
// needs when it does not, 0 on failure.
UINT ReportFolder(sim::Call call, const std::u16string& folder, LPWSTR buffer, UINT size) {
  if (TheMachine().TakeFailure(call)) return 0;
  return static_cast<UINT>(CopyOut(folder, buffer, size) ? folder.size() : folder.size() + 1);
}

template <typename Function>
FARPROC Exported(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}
}  // namespace

DWORD GetLastError() { return lastError; }
void SetLastError(DWORD code) { lastError = code; }

DWORD GetModuleFileNameW(HMODULE, LPWSTR fileName, DWORD size) {
  const std::u16string& path = TheMachine().modulePath;
  if (TheMachine().TakeFailure(&GetModuleFileNameW)) return 0;
  if (CopyOut(path, fileName, size)) return static_cast<DWORD>(path.size());
  // As on Windows: truncated to size - 1 characters, and reported with the full size.
  CopyOut(path.substr(0, size - 1), fileName, size);
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

UINT GetSystemDirectoryW(LPWSTR buffer, UINT size) {
  return ReportFolder(&GetSystemDirectoryW, TheMachine().systemDirectory, buffer, size);
}

UINT GetSystemWindowsDirectoryW(LPWSTR buffer, UINT size) {
  return ReportFolder(&GetSystemWindowsDirectoryW, TheMachine().windowsDirectory, buffer, size);
}

HANDLE GetCurrentProcess() { return INVALID_HANDLE_VALUE; }

BOOL IsWow64Process(HANDLE, BOOL* wow64) {
  if (TheMachine().TakeFailure(&IsWow64Process)) return FALSE;
  *wow64 = TheMachine().wow64 ? TRUE : FALSE;
  return TRUE;
}

// A launched process has ended by the time it is waited for.
DWORD WaitForSingleObject(HANDLE, DWORD milliseconds) {
  TheMachine().waits.push_back(milliseconds);
  return TheMachine().TakeFailure(&WaitForSingleObject) ? WAIT_FAILED : WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE handle) { return TheMachine().Release(sim::Id(handle)); }

void Sleep(DWORD milliseconds) { TheMachine().sleeps.push_back(milliseconds); }

HLOCAL LocalAlloc(UINT, SIZE_T bytes) {
  if (TheMachine().TakeFailure(&LocalAlloc)) return nullptr;
  std::vector<BYTE> memory(bytes + 1);
  HLOCAL address = memory.data();
  TheMachine().buffers.emplace(address, std::move(memory));
  return address;
}

HLOCAL LocalFree(HLOCAL memory) {
  return TheMachine().buffers.erase(memory) == 1 ? nullptr : memory;
}

int MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT type) {
  TheMachine().boxes.push_back({text, caption, type});
  return 1;  // IDOK
}

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) {
  sim::Machine& machine = TheMachine();
  machine.launches.push_back({info->lpFile, info->lpParameters, info->lpDirectory});
  if (machine.TakeFailure(&ShellExecuteExW)) return FALSE;
  info->hProcess = nullptr;
  if (info->fMask & SEE_MASK_NOCLOSEPROCESS)
    info->hProcess = reinterpret_cast<HANDLE>(machine.New());
  if (machine.onLaunch) machine.onLaunch();
  return TRUE;
}

// The machine offers one library, the spooler's in its system folder, whose functions are the
// simulated spooler calls.
HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE, DWORD flags) {
  sim::Machine& machine = TheMachine();
  machine.loads.push_back({fileName, flags});
  if (machine.TakeFailure(&LoadLibraryExW)) return nullptr;
  ++machine.librariesLoaded;
  return reinterpret_cast<HMODULE>(machine.nextObject += 4);
}

FARPROC GetProcAddress(HMODULE, const char* name) {
  if (TheMachine().TakeFailure(&GetProcAddress)) return nullptr;
  const std::string text = name;
  if (text == "EnumPortsW") return Exported(&EnumPortsW);
  if (text == "EnumPrintersW") return Exported(&EnumPrintersW);
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE) {
  --TheMachine().librariesLoaded;
  return TRUE;
}

// Once per machine, so that every test starts before the spooler has been loaded.
BOOL InitOnceExecuteOnce(PINIT_ONCE once, PINIT_ONCE_FN function, void* parameter, void** context) {
  if (TheMachine().initialised.count(once) != 0) return TRUE;
  if (!function(once, parameter, context)) return FALSE;
  TheMachine().initialised.insert(once);
  return TRUE;
}
