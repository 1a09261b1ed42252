#include "platform/dll_search.h"

#include "platform/win32.h"

bool RestrictDllSearchToSystemFolder() {
  SetDllDirectoryW(L"");
  // kernel32 is in every process, so this looks it up without loading anything.
  const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  const auto address =
      kernel != nullptr
          ? reinterpret_cast<void (*)()>(GetProcAddress(kernel, "SetDefaultDllDirectories"))
          : nullptr;
  if (address == nullptr) return false;
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  return reinterpret_cast<SetDefaultDllDirectoriesFunction>(address)(
             LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
}
