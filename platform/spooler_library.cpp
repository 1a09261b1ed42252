#include "platform/spooler_library.h"

#include "platform/system_folder.h"
#include "platform/unique_handle.h"

namespace {

struct SpoolerFunctions {
  decltype(&EnumPortsW) enumPorts;
  decltype(&EnumPrintersW) enumPrinters;
  // Why a function is missing: the last error of the step that failed.
  DWORD loadError;
};

SpoolerFunctions g_spooler{};
INIT_ONCE g_spoolerOnce = INIT_ONCE_STATIC_INIT;

template <typename Function>
Function Resolve(HMODULE module, const char* name, DWORD& error) {
  // Through void (*)(), which converts to and from every function pointer type.
  const auto address = reinterpret_cast<void (*)()>(GetProcAddress(module, name));
  if (address == nullptr) error = GetLastError();
  return reinterpret_cast<Function>(address);
}

BOOL CALLBACK LoadSpooler(PINIT_ONCE, void*, void**) {
  SpoolerFunctions loaded{nullptr, nullptr, ERROR_PROC_NOT_FOUND};
  WCHAR path[kSystemPathWidth] = {};
  // With a full path, LOAD_WITH_ALTERED_SEARCH_PATH makes the library's own dependencies
  // resolve from its folder, the system folder, instead of from the program's folder. The
  // LOAD_LIBRARY_SEARCH_* flags would say the same, but Windows 7 without its loader update
  // refuses them.
  UniqueModule module;
  if (!SystemFilePath(TEXT("winspool.drv"), path)) {
    loaded.loadError = GetLastError();
  } else {
    module.Reset(LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module.IsValid()) loaded.loadError = GetLastError();
  }
  if (module.IsValid()) {
    loaded.enumPorts = Resolve<decltype(&EnumPortsW)>(module.Get(), "EnumPortsW", loaded.loadError);
    loaded.enumPrinters =
        Resolve<decltype(&EnumPrintersW)>(module.Get(), "EnumPrintersW", loaded.loadError);
    // Never freed once it offers a function: the install worker, which runs detached, may
    // still be inside one when the process ends.
    if (loaded.enumPorts != nullptr || loaded.enumPrinters != nullptr) module.Release();
  }
  g_spooler = loaded;
  return TRUE;
}

const SpoolerFunctions& Spooler() {
  InitOnceExecuteOnce(&g_spoolerOnce, LoadSpooler, nullptr, nullptr);
  return g_spooler;
}

BOOL Unavailable(const SpoolerFunctions& spooler, LPDWORD needed, LPDWORD returned) {
  *needed = 0;
  *returned = 0;
  SetLastError(spooler.loadError);
  return FALSE;
}

}  // namespace

BOOL SpoolerEnumPorts(LPWSTR server, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed,
                      LPDWORD returned) {
  const SpoolerFunctions& spooler = Spooler();
  if (spooler.enumPorts == nullptr) return Unavailable(spooler, needed, returned);
  return spooler.enumPorts(server, level, buffer, bufferSize, needed, returned);
}

BOOL SpoolerEnumPrinters(DWORD flags, LPWSTR name, DWORD level, LPBYTE buffer, DWORD bufferSize,
                         LPDWORD needed, LPDWORD returned) {
  const SpoolerFunctions& spooler = Spooler();
  if (spooler.enumPrinters == nullptr) return Unavailable(spooler, needed, returned);
  return spooler.enumPrinters(flags, name, level, buffer, bufferSize, needed, returned);
}
