// The fault seam of the Wine tests. Loaded into a program (the installer before its first
// instruction, or a test program into itself), it points the program's own imports, and the
// functions the program looks up at run time, at stand-ins that count each call and fail the
// ones named by the faults (tests/wine/fault_seam.h):
//   Function:n[:code],...  the n-th call ('*': every call) fails with that last error
//                          (default ERROR_ACCESS_DENIED); n 0 makes the run-time lookup of
//                          Function fail (default ERROR_PROC_NOT_FOUND). A wait that fails runs
//                          out at once.
// It also counts what the program opens against what it closes. Its report, written when it is
// disarmed or the process ends, has one line for each function called ("<Function> calls
// <n>"), each kind of object still open ("held <kind> <n>"), and each library load, folder
// creation and wait with the arguments that matter ("LoadLibraryExW <path> <flags>",
// "CreateDirectoryW <access list>", which Wine does not keep, "Sleep <ms>"). It refuses to load for
// a fault naming a function the program neither imports nor may look up, so a test never runs
// without its fault.
#include <windows.h>

#include <sddl.h>
#include <setupapi.h>
#include <wincrypt.h>
#include <winspool.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "tests/wine/fault_seam.h"

namespace {

enum Kind { kHandle, kKey, kList, kMemory, kModule, kProvider, kHash, kKinds };
const wchar_t* const kKindNames[kKinds] = {L"handle", L"key",      L"list", L"memory",
                                           L"module", L"provider", L"hash"};

constexpr long kEveryCall = -1;
struct Fault {
  std::string function;
  long nth;
  DWORD code;
};

SRWLOCK g_lock = SRWLOCK_INIT;
struct Lock {
  Lock() { AcquireSRWLockExclusive(&g_lock); }
  ~Lock() { ReleaseSRWLockExclusive(&g_lock); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
};

bool g_armed = false;
std::vector<Fault> g_faults;
std::map<std::string, long> g_calls;
std::set<std::pair<Kind, ULONG_PTR>> g_open;
std::vector<std::wstring> g_notes;
std::map<std::string, FARPROC> g_lookedUp;  // what the library gave for a run-time lookup

// Counts the call; true, with the fault's last error set, when it is to fail.
bool Fails(const char* function) {
  const Lock lock;
  if (!g_armed) return false;
  const long call = ++g_calls[function];
  for (const Fault& fault : g_faults) {
    if (fault.function == function && (fault.nth == kEveryCall || fault.nth == call)) {
      SetLastError(fault.code);
      return true;
    }
  }
  return false;
}

template <typename Object>
void Opened(Kind kind, Object object) {
  const Lock lock;
  if (g_armed) g_open.insert({kind, reinterpret_cast<ULONG_PTR>(object)});
}

template <typename Object>
void Closed(Kind kind, Object object) {
  const Lock lock;
  g_open.erase({kind, reinterpret_cast<ULONG_PTR>(object)});
}

void Note(const std::wstring& line) {
  const Lock lock;
  if (g_armed) g_notes.push_back(line);
}

template <typename Function>
Function LookedUp(const char* name) {
  const Lock lock;
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(g_lookedUp[name]));
}

// object, counted as open unless it is the value that reports failure.
template <typename Object>
Object Track(Kind kind, Object object, Object failure) {
  if (object != failure) Opened(kind, object);
  return object;
}

// The stand-ins, one per function: each fails when Fails says so, as the function itself
// fails, and otherwise calls it.
HANDLE WINAPI SeamCreateFileW(LPCWSTR p, DWORD a, DWORD s, LPSECURITY_ATTRIBUTES sa, DWORD d,
                              DWORD f, HANDLE t) {
  if (Fails("CreateFileW")) return INVALID_HANDLE_VALUE;
  return Track(kHandle, CreateFileW(p, a, s, sa, d, f, t), INVALID_HANDLE_VALUE);
}

BOOL WINAPI SeamCloseHandle(HANDLE h) { return Closed(kHandle, h), CloseHandle(h); }

BOOL WINAPI SeamReadFile(HANDLE h, LPVOID b, DWORD n, LPDWORD read, LPOVERLAPPED o) {
  return !Fails("ReadFile") && ReadFile(h, b, n, read, o);
}

BOOL WINAPI SeamWriteFile(HANDLE h, LPCVOID b, DWORD n, LPDWORD written, LPOVERLAPPED o) {
  if (!Fails("WriteFile")) return WriteFile(h, b, n, written, o);
  if (written != nullptr) *written = 0;
  return FALSE;
}

BOOL WINAPI SeamCreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES attributes) {
  LPWSTR text = nullptr;
  if (attributes != nullptr && ConvertSecurityDescriptorToStringSecurityDescriptorW(
                                   attributes->lpSecurityDescriptor, SDDL_REVISION_1,
                                   DACL_SECURITY_INFORMATION, &text, nullptr)) {
    Note(std::wstring(L"CreateDirectoryW ") + text);
    LocalFree(text);
  }
  return !Fails("CreateDirectoryW") && CreateDirectoryW(path, attributes);
}

HLOCAL WINAPI SeamLocalAlloc(UINT f, SIZE_T n) {
  return Fails("LocalAlloc") ? nullptr : Track(kMemory, LocalAlloc(f, n), HLOCAL{});
}

HLOCAL WINAPI SeamLocalFree(HLOCAL m) { return Closed(kMemory, m), LocalFree(m); }

HMODULE WINAPI SeamLoadLibraryExW(LPCWSTR path, HANDLE h, DWORD flags) {
  Note(std::wstring(L"LoadLibraryExW ") + path + L" " + std::to_wstring(flags));
  if (Fails("LoadLibraryExW")) return nullptr;
  return Track(kModule, LoadLibraryExW(path, h, flags), HMODULE{});
}

BOOL WINAPI SeamFreeLibrary(HMODULE m) { return Closed(kModule, m), FreeLibrary(m); }

DWORD WINAPI SeamGetModuleFileNameW(HMODULE m, LPWSTR path, DWORD n) {
  return Fails("GetModuleFileNameW") ? 0 : GetModuleFileNameW(m, path, n);
}

HANDLE WINAPI SeamCreateThread(LPSECURITY_ATTRIBUTES sa, SIZE_T n, LPTHREAD_START_ROUTINE f,
                               LPVOID p, DWORD c, LPDWORD id) {
  return Fails("CreateThread") ? nullptr
                               : Track(kHandle, CreateThread(sa, n, f, p, c, id), HANDLE{});
}

BOOL WINAPI SeamCreateProcessW(LPCWSTR a, LPWSTR l, LPSECURITY_ATTRIBUTES p,
                               LPSECURITY_ATTRIBUTES t, BOOL i, DWORD f, LPVOID e, LPCWSTR d,
                               LPSTARTUPINFOW s, LPPROCESS_INFORMATION started) {
  if (Fails("CreateProcessW") || !CreateProcessW(a, l, p, t, i, f, e, d, s, started)) return FALSE;
  Opened(kHandle, started->hProcess);
  Opened(kHandle, started->hThread);
  return TRUE;
}

// A wait that fails runs out at once. How long the program waits is part of what it promises.
DWORD WINAPI SeamWaitForSingleObject(HANDLE h, DWORD ms) {
  if (ms != 0) Note(L"WaitForSingleObject " + std::to_wstring(ms));
  return WaitForSingleObject(h, Fails("WaitForSingleObject") ? 0 : ms);
}

void WINAPI SeamSleep(DWORD ms) {
  Note(L"Sleep " + std::to_wstring(ms));
  Sleep(ms);
}

UINT_PTR WINAPI SeamSetTimer(HWND w, UINT_PTR id, UINT ms, TIMERPROC f) {
  return Fails("SetTimer") ? 0 : SetTimer(w, id, ms, f);
}

LSTATUS Failed() { return static_cast<LSTATUS>(GetLastError()); }

LSTATUS WINAPI SeamRegOpenKeyExW(HKEY parent, LPCWSTR name, DWORD o, REGSAM a, PHKEY key) {
  if (Fails("RegOpenKeyExW")) return Failed();
  const LSTATUS status = RegOpenKeyExW(parent, name, o, a, key);
  if (status == ERROR_SUCCESS) Opened(kKey, *key);
  return status;
}

LSTATUS WINAPI SeamRegEnumKeyExW(HKEY k, DWORD i, LPWSTR n, LPDWORD l, LPDWORD r, LPWSTR c,
                                 LPDWORD cl, PFILETIME t) {
  return Fails("RegEnumKeyExW") ? Failed() : RegEnumKeyExW(k, i, n, l, r, c, cl, t);
}

LSTATUS WINAPI SeamRegQueryValueExW(HKEY k, LPCWSTR n, LPDWORD r, LPDWORD t, LPBYTE d, LPDWORD s) {
  return Fails("RegQueryValueExW") ? Failed() : RegQueryValueExW(k, n, r, t, d, s);
}

LSTATUS WINAPI SeamRegCloseKey(HKEY k) { return Closed(kKey, k), RegCloseKey(k); }

BOOL WINAPI SeamCryptAcquireContextW(HCRYPTPROV* p, LPCWSTR c, LPCWSTR n, DWORD t, DWORD f) {
  if (Fails("CryptAcquireContextW") || !CryptAcquireContextW(p, c, n, t, f)) return FALSE;
  return Opened(kProvider, *p), TRUE;
}

BOOL WINAPI SeamCryptReleaseContext(HCRYPTPROV p, DWORD f) {
  return Closed(kProvider, p), CryptReleaseContext(p, f);
}

BOOL WINAPI SeamCryptCreateHash(HCRYPTPROV p, ALG_ID a, HCRYPTKEY k, DWORD f, HCRYPTHASH* h) {
  if (Fails("CryptCreateHash") || !CryptCreateHash(p, a, k, f, h)) return FALSE;
  return Opened(kHash, *h), TRUE;
}

BOOL WINAPI SeamCryptDestroyHash(HCRYPTHASH h) { return Closed(kHash, h), CryptDestroyHash(h); }

BOOL WINAPI SeamCryptGenRandom(HCRYPTPROV p, DWORD n, BYTE* b) {
  return !Fails("CryptGenRandom") && CryptGenRandom(p, n, b);
}

BOOL WINAPI SeamCryptGetHashParam(HCRYPTHASH h, DWORD p, BYTE* b, DWORD* n, DWORD f) {
  return !Fails("CryptGetHashParam") && CryptGetHashParam(h, p, b, n, f);
}

HDEVINFO WINAPI SeamSetupDiGetClassDevsW(const GUID* g, PCWSTR e, HWND w, DWORD f) {
  if (Fails("SetupDiGetClassDevsW")) return INVALID_HANDLE_VALUE;
  return Track(kList, SetupDiGetClassDevsW(g, e, w, f), INVALID_HANDLE_VALUE);
}

BOOL WINAPI SeamSetupDiDestroyDeviceInfoList(HDEVINFO l) {
  return Closed(kList, l), SetupDiDestroyDeviceInfoList(l);
}

BOOL WINAPI SeamSetupDiGetDeviceInterfaceDetailW(HDEVINFO l, PSP_DEVICE_INTERFACE_DATA i,
                                                 PSP_DEVICE_INTERFACE_DETAIL_DATA_W d, DWORD n,
                                                 PDWORD r, PSP_DEVINFO_DATA v) {
  return !Fails("SetupDiGetDeviceInterfaceDetailW") &&
         SetupDiGetDeviceInterfaceDetailW(l, i, d, n, r, v);
}

HKEY WINAPI SeamSetupDiOpenClassRegKeyExW(const GUID* g, REGSAM a, DWORD f, PCWSTR m, PVOID r) {
  const auto failure = reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
  if (Fails("SetupDiOpenClassRegKeyExW")) return failure;
  return Track(kKey, SetupDiOpenClassRegKeyExW(g, a, f, m, r), failure);
}

// Looked up at run time.
BOOL WINAPI SeamSetDefaultDllDirectories(DWORD f) {
  return !Fails("SetDefaultDllDirectories") &&
         LookedUp<BOOL(WINAPI*)(DWORD)>("SetDefaultDllDirectories")(f);
}

BOOL WINAPI SeamEnumPortsW(LPWSTR s, DWORD l, LPBYTE b, DWORD n, LPDWORD needed, LPDWORD count) {
  if (!Fails("EnumPortsW"))
    return LookedUp<decltype(&EnumPortsW)>("EnumPortsW")(s, l, b, n, needed, count);
  *count = 0;
  return FALSE;
}

BOOL WINAPI SeamEnumPrintersW(DWORD f, LPWSTR s, DWORD l, LPBYTE b, DWORD n, LPDWORD needed,
                              LPDWORD count) {
  if (!Fails("EnumPrintersW"))
    return LookedUp<decltype(&EnumPrintersW)>("EnumPrintersW")(f, s, l, b, n, needed, count);
  *count = 0;
  return FALSE;
}

FARPROC WINAPI SeamGetProcAddress(HMODULE module, LPCSTR name);

struct Stand {
  const char* function;
  const void* in;
  bool lookedUp;  // taken by GetProcAddress at run time, not imported
};
template <typename Function>
constexpr Stand Of(const char* function, Function* in, bool lookedUp = false) {
  return {function, reinterpret_cast<const void*>(in), lookedUp};
}

const Stand kStands[] = {
    Of("CreateFileW", &SeamCreateFileW),
    Of("CloseHandle", &SeamCloseHandle),
    Of("ReadFile", &SeamReadFile),
    Of("WriteFile", &SeamWriteFile),
    Of("CreateDirectoryW", &SeamCreateDirectoryW),
    Of("LocalAlloc", &SeamLocalAlloc),
    Of("LocalFree", &SeamLocalFree),
    Of("LoadLibraryExW", &SeamLoadLibraryExW),
    Of("FreeLibrary", &SeamFreeLibrary),
    Of("GetProcAddress", &SeamGetProcAddress),
    Of("GetModuleFileNameW", &SeamGetModuleFileNameW),
    Of("CreateThread", &SeamCreateThread),
    Of("CreateProcessW", &SeamCreateProcessW),
    Of("WaitForSingleObject", &SeamWaitForSingleObject),
    Of("Sleep", &SeamSleep),
    Of("SetTimer", &SeamSetTimer),
    Of("RegOpenKeyExW", &SeamRegOpenKeyExW),
    Of("RegEnumKeyExW", &SeamRegEnumKeyExW),
    Of("RegQueryValueExW", &SeamRegQueryValueExW),
    Of("RegCloseKey", &SeamRegCloseKey),
    Of("CryptAcquireContextW", &SeamCryptAcquireContextW),
    Of("CryptReleaseContext", &SeamCryptReleaseContext),
    Of("CryptCreateHash", &SeamCryptCreateHash),
    Of("CryptDestroyHash", &SeamCryptDestroyHash),
    Of("CryptGenRandom", &SeamCryptGenRandom),
    Of("CryptGetHashParam", &SeamCryptGetHashParam),
    Of("SetupDiGetClassDevsW", &SeamSetupDiGetClassDevsW),
    Of("SetupDiDestroyDeviceInfoList", &SeamSetupDiDestroyDeviceInfoList),
    Of("SetupDiGetDeviceInterfaceDetailW", &SeamSetupDiGetDeviceInterfaceDetailW),
    Of("SetupDiOpenClassRegKeyExW", &SeamSetupDiOpenClassRegKeyExW),
    Of("SetDefaultDllDirectories", &SeamSetDefaultDllDirectories, true),
    Of("EnumPortsW", &SeamEnumPortsW, true),
    Of("EnumPrintersW", &SeamEnumPrintersW, true),
};

const Stand* StandFor(const std::string& function) {
  for (const Stand& stand : kStands) {
    if (function == stand.function) return &stand;
  }
  return nullptr;
}

std::map<std::string, bool> g_patched;

FARPROC WINAPI SeamGetProcAddress(HMODULE module, LPCSTR name) {
  if (Fails("GetProcAddress")) return nullptr;
  const FARPROC found = GetProcAddress(module, name);
  const Stand* stand = IS_INTRESOURCE(name) ? nullptr : StandFor(name);
  const Lock lock;
  if (found == nullptr || stand == nullptr || !stand->lookedUp || !g_armed) return found;
  for (const Fault& fault : g_faults) {
    if (fault.function == name && fault.nth == 0) {
      SetLastError(fault.code);
      return nullptr;
    }
  }
  g_lookedUp[name] = found;
  return reinterpret_cast<FARPROC>(const_cast<void*>(stand->in));
}

// Points each import of this process's program that has a stand-in at it.
void PatchImports() {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
      base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* entry =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       entry->Name != 0; ++entry) {
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const char* function = reinterpret_cast<const char*>(
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
      const Stand* stand = StandFor(function);
      DWORD protection = 0;
      if (stand == nullptr || stand->lookedUp ||
          !VirtualProtect(slots, sizeof(*slots), PAGE_READWRITE, &protection)) {
        continue;
      }
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(stand->in);
      VirtualProtect(slots, sizeof(*slots), protection, &protection);
      g_patched[function] = true;
    }
  }
}

// Reads "Function:n[:code]" items separated by commas; false for a malformed item or a
// function that can be neither patched nor looked up.
bool ParseFaults(const std::wstring& text, std::vector<Fault>& faults) {
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(L',', start), text.size());
    const std::wstring item = text.substr(start, end - start);
    start = end + 1;
    const std::size_t colon = item.find(L':');
    if (colon == std::wstring::npos || colon + 1 == item.size()) return false;
    const std::string function(item.begin(), item.begin() + static_cast<std::ptrdiff_t>(colon));
    const Stand* stand = StandFor(function);
    if (stand == nullptr || (!stand->lookedUp && !g_patched[function])) return false;
    const wchar_t* rest = item.c_str() + colon + 1;
    wchar_t* after = nullptr;
    const long nth = *rest == L'*' ? kEveryCall : std::wcstol(rest, &after, 10);
    if (nth == kEveryCall) after = const_cast<wchar_t*>(rest + 1);
    if (*after != 0 && *after != L':') return false;
    const DWORD code = *after == L':' ? std::wcstoul(after + 1, nullptr, 10)
                       : nth == 0     ? ERROR_PROC_NOT_FOUND
                                      : ERROR_ACCESS_DENIED;
    faults.push_back({function, nth, code});
  }
  return true;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL SeamArm(const wchar_t* faults) {
  std::vector<Fault> parsed;
  if (!ParseFaults(faults, parsed)) return FALSE;
  DeleteFileW(SEAM_REPORT_PATH);
  const Lock lock;
  g_faults = std::move(parsed);
  g_calls.clear();
  g_open.clear();
  g_notes.clear();
  g_armed = true;
  return TRUE;
}

extern "C" __declspec(dllexport) void SeamDisarm() {
  std::vector<std::wstring> lines;
  {
    const Lock lock;
    g_armed = false;
    for (const auto& [function, calls] : g_calls) {
      lines.push_back(std::wstring(function.begin(), function.end()) + L" calls " +
                      std::to_wstring(calls));
    }
    int held[kKinds] = {};
    for (const auto& object : g_open) ++held[object.first];
    for (int kind = 0; kind < kKinds; ++kind) {
      if (held[kind] != 0) {
        lines.push_back(std::wstring(L"held ") + kKindNames[kind] + L" " +
                        std::to_wstring(held[kind]));
      }
    }
    lines.insert(lines.end(), g_notes.begin(), g_notes.end());
  }
  for (const std::wstring& line : lines) AppendLine(SEAM_REPORT_PATH, line);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    PatchImports();
    // Armed, even with no fault, when the variable is there; loaded into a test program
    // without it, it waits for SeamArm.
    wchar_t faults[512] = {};
    if (GetEnvironmentVariableW(L"INSTALLER_FAULT", nullptr, 0) == 0) return TRUE;
    return GetEnvironmentVariableW(L"INSTALLER_FAULT", faults, 512) < 512 && SeamArm(faults);
  }
  if (reason == DLL_PROCESS_DETACH && g_armed) SeamDisarm();
  return TRUE;
}
