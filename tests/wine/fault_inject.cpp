// Makes one platform call of the running installer fail, for the Wine tests: loaded into the
// installer, it points the installer's own import of the call named by INSTALLER_FAULT at a
// stand-in that fails: timer (SetTimer), thread (CreateThread), spooler (LoadLibraryExW, for
// winspool.drv only), stage-folder (CreateDirectoryW, recording the access list asked for),
// stage-write (WriteFile), or wait (the two-minute wait for a command runs out at once). It refuses
// to load for an unknown fault or a call not imported, so a test never runs without its fault.
#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <cwchar>

#include "tests/wine/standin_log.h"

namespace {

UINT_PTR WINAPI NoTimer(HWND, UINT_PTR, UINT, TIMERPROC) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 0;
}

HANDLE WINAPI NoThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE, LPVOID, DWORD,
                       LPDWORD) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

HMODULE WINAPI NoSpooler(LPCWSTR path, HANDLE file, DWORD flags) {
  const wchar_t* name = std::wcsrchr(path, L'\\');
  if (_wcsicmp(name != nullptr ? name + 1 : path, L"winspool.drv") == 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadLibraryExW(path, file, flags);
}

// Records the access list asked for, in C:\stage-folder-access.txt, as Wine does not keep it.
BOOL WINAPI NoFolder(LPCWSTR, LPSECURITY_ATTRIBUTES attributes) {
  LPWSTR text = nullptr;
  if (attributes != nullptr && ConvertSecurityDescriptorToStringSecurityDescriptorW(
                                   attributes->lpSecurityDescriptor, SDDL_REVISION_1,
                                   DACL_SECURITY_INFORMATION, &text, nullptr)) {
    AppendLine(L"C:\\stage-folder-access.txt", text);
    LocalFree(text);
  }
  SetLastError(ERROR_ACCESS_DENIED);
  return FALSE;
}

BOOL WINAPI NoWrite(HANDLE, LPCVOID, DWORD, LPDWORD written, LPOVERLAPPED) {
  if (written != nullptr) *written = 0;
  SetLastError(ERROR_DISK_FULL);
  return FALSE;
}

DWORD WINAPI NoLongWait(HANDLE handle, DWORD milliseconds) {
  return milliseconds == 120000 ? WAIT_TIMEOUT : WaitForSingleObject(handle, milliseconds);
}

// Points the program's import of dll!function at replacement; false when there is none.
bool Replace(const char* dll, const char* function, const void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), dll) != 0) continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* named =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(named->Name), function) != 0) continue;
      DWORD protection = 0;
      if (!VirtualProtect(slots, sizeof(*slots), PAGE_READWRITE, &protection)) return false;
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(slots, sizeof(*slots), protection, &protection);
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t fault[16] = {};
  GetEnvironmentVariableW(L"INSTALLER_FAULT", fault, 16);
  if (std::wcscmp(fault, L"timer") == 0) {
    return Replace("user32.dll", "SetTimer", reinterpret_cast<const void*>(&NoTimer));
  }
  if (std::wcscmp(fault, L"thread") == 0) {
    return Replace("kernel32.dll", "CreateThread", reinterpret_cast<const void*>(&NoThread));
  }
  if (std::wcscmp(fault, L"spooler") == 0) {
    return Replace("kernel32.dll", "LoadLibraryExW", reinterpret_cast<const void*>(&NoSpooler));
  }
  if (std::wcscmp(fault, L"stage-folder") == 0) {
    return Replace("kernel32.dll", "CreateDirectoryW", reinterpret_cast<const void*>(&NoFolder));
  }
  if (std::wcscmp(fault, L"stage-write") == 0) {
    return Replace("kernel32.dll", "WriteFile", reinterpret_cast<const void*>(&NoWrite));
  }
  if (std::wcscmp(fault, L"wait") == 0) {
    return Replace("kernel32.dll", "WaitForSingleObject",
                   reinterpret_cast<const void*>(&NoLongWait));
  }
  return FALSE;
}
