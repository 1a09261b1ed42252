// Simulated library loading and one-time initialisation. The machine offers one library, the
// spooler's winspool.drv in its system folder, whose functions are the simulated spooler
// calls. A one-time initialisation runs once per machine, so every test starts before it.
#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

namespace {
// Through void (*)(), which converts to and from every function pointer type.
template <typename Function>
FARPROC Exported(Function function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}
}  // namespace

HMODULE LoadLibraryExW(LPCWSTR fileName, HANDLE, DWORD flags) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::LoadLibraryExW, fileName, {}, flags});
  if (machine.TakeFailure(Call::LoadLibraryExW)) return nullptr;
  if (fileName != machine.systemDirectory + u"\\winspool.drv") {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return machine.NewModule();
}

FARPROC GetProcAddress(HMODULE module, const char* name) {
  sim::Machine& machine = TheMachine();
  const std::string text = name;
  machine.Record({Call::GetProcAddress, {text.begin(), text.end()}});
  if (machine.TakeFailure(Call::GetProcAddress)) return nullptr;
  if (machine.loadedModules.count(module) != 0) {
    if (text == "EnumPortsW") return Exported(&EnumPortsW);
    if (text == "EnumPrintersW") return Exported(&EnumPrintersW);
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

BOOL FreeLibrary(HMODULE module) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::FreeLibrary, {}, {}, reinterpret_cast<std::uintptr_t>(module)});
  if (machine.loadedModules.erase(module) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

BOOL InitOnceExecuteOnce(PINIT_ONCE once, PINIT_ONCE_FN function, void* parameter, void** context) {
  sim::Machine& machine = TheMachine();
  if (machine.initialised.count(once) != 0) return TRUE;
  if (!function(once, parameter, context)) return FALSE;
  machine.initialised.insert(once);
  return TRUE;
}
