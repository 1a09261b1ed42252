// A small simulated subset of the Win32 API for the native unit tests: only the types,
// constants and calls that the system uses, with the platform's names, member order and
// error codes. A record whose size the system does not depend on holds only the members it
// uses, in the platform's order. Every call is answered by the scriptable machine in
// sim_machine.h.
#pragma once

#include <cstddef>
#include <cstdint>

#define WINAPI
#define CALLBACK
#define TEXT(s) u##s

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using LSTATUS = LONG;
using UINT = unsigned int;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPBYTE = BYTE*;
using LPDWORD = DWORD*;
using LPVOID = void*;
using PVOID = void*;
using ULONG_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using HANDLE = void*;
using HLOCAL = void*;
using HDEVINFO = void*;
using HWND = struct SimWindow*;
using HMODULE = struct SimModule*;
using HKEY = struct SimKey*;
using FARPROC = std::intptr_t (*)();
using REGSAM = DWORD;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;
constexpr UINT MAX_PATH = 260;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_SHARING_VIOLATION = 32;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_LEVEL = 124;
constexpr DWORD ERROR_PROC_NOT_FOUND = 127;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_NO_MORE_ITEMS = 259;
constexpr DWORD ERROR_NO_ASSOCIATION = 1155;
constexpr DWORD ERROR_DDE_FAIL = 1156;
constexpr DWORD ERROR_DLL_NOT_FOUND = 1157;
constexpr DWORD ERROR_CANCELLED = 1223;

struct GUID {
  DWORD Data1;
  WORD Data2;
  WORD Data3;
  BYTE Data4[8];
};

// Kernel
DWORD GetLastError();
void SetLastError(DWORD);
DWORD GetModuleFileNameW(HMODULE, LPWSTR, DWORD);
UINT GetSystemDirectoryW(LPWSTR, UINT);
UINT GetSystemWindowsDirectoryW(LPWSTR, UINT);
HANDLE GetCurrentProcess();
BOOL IsWow64Process(HANDLE, BOOL*);
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
DWORD WaitForSingleObject(HANDLE, DWORD);
BOOL CloseHandle(HANDLE);
void Sleep(DWORD);

constexpr UINT LPTR = 0x0040;
HLOCAL LocalAlloc(UINT, SIZE_T);
HLOCAL LocalFree(HLOCAL);

constexpr DWORD LOAD_WITH_ALTERED_SEARCH_PATH = 0x00000008;
HMODULE LoadLibraryExW(LPCWSTR, HANDLE, DWORD);
FARPROC GetProcAddress(HMODULE, const char*);
BOOL FreeLibrary(HMODULE);
union INIT_ONCE {
  void* Ptr;
};
using PINIT_ONCE = INIT_ONCE*;
using PINIT_ONCE_FN = BOOL (*)(PINIT_ONCE, void*, void**);
#define INIT_ONCE_STATIC_INIT \
  {}
BOOL InitOnceExecuteOnce(PINIT_ONCE, PINIT_ONCE_FN, void*, void**);

// Kernel: files and devices
constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD GENERIC_WRITE = 0x40000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_FLAG_OVERLAPPED = 0x40000000;
struct SECURITY_ATTRIBUTES;
struct OVERLAPPED;
HANDLE CreateFileW(LPCWSTR, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD, DWORD, HANDLE);
BOOL ReadFile(HANDLE, LPVOID, DWORD, LPDWORD, OVERLAPPED*);

// User and shell
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
int MessageBoxW(HWND, LPCWSTR, LPCWSTR, UINT);

constexpr int SW_SHOWNORMAL = 1;
constexpr DWORD SEE_MASK_NOCLOSEPROCESS = 0x00000040;
struct SHELLEXECUTEINFOW {
  DWORD cbSize;
  DWORD fMask;
  LPCWSTR lpVerb;
  LPCWSTR lpFile;
  LPCWSTR lpParameters;
  LPCWSTR lpDirectory;
  int nShow;
  HANDLE hProcess;
};
BOOL ShellExecuteExW(SHELLEXECUTEINFOW*);

// Spooler
constexpr DWORD PRINTER_ENUM_LOCAL = 0x00000002;
struct PRINTER_INFO_2W {
  LPWSTR pServerName;
  LPWSTR pPrinterName;
};
BOOL EnumPrintersW(DWORD, LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);
struct PORT_INFO_2W {
  LPWSTR pPortName;
};
BOOL EnumPortsW(LPWSTR, DWORD, LPBYTE, DWORD, LPDWORD, LPDWORD);

// Device setup. Records have the natural layout of the 64-bit platform, which the native
// build is.
constexpr DWORD DIGCF_PRESENT = 0x00000002;
constexpr DWORD DIGCF_DEVICEINTERFACE = 0x00000010;
constexpr DWORD DIOCR_INTERFACE = 0x00000002;
struct SP_DEVINFO_DATA;
struct SP_DEVICE_INTERFACE_DATA {
  DWORD cbSize;
  GUID InterfaceClassGuid;
  DWORD Flags;
  ULONG_PTR Reserved;
};
struct SP_DEVICE_INTERFACE_DETAIL_DATA_W {
  DWORD cbSize;
  WCHAR DevicePath[1];
};
HDEVINFO SetupDiGetClassDevsW(const GUID*, LPCWSTR, HWND, DWORD);
BOOL SetupDiEnumDeviceInterfaces(HDEVINFO, SP_DEVINFO_DATA*, const GUID*, DWORD,
                                 SP_DEVICE_INTERFACE_DATA*);
BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO, SP_DEVICE_INTERFACE_DATA*,
                                      SP_DEVICE_INTERFACE_DETAIL_DATA_W*, DWORD, LPDWORD,
                                      SP_DEVINFO_DATA*);
BOOL SetupDiDestroyDeviceInfoList(HDEVINFO);
HKEY SetupDiOpenClassRegKeyExW(const GUID*, REGSAM, DWORD, LPCWSTR, PVOID);

// Registry
constexpr REGSAM KEY_READ = 0x00020019;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_MULTI_SZ = 7;
struct FILETIME;
LSTATUS RegEnumKeyExW(HKEY, DWORD, LPWSTR, LPDWORD, LPDWORD, LPWSTR, LPDWORD, FILETIME*);
LSTATUS RegOpenKeyExW(HKEY, LPCWSTR, DWORD, REGSAM, HKEY*);
LSTATUS RegQueryValueExW(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
LSTATUS RegCloseKey(HKEY);

// CryptoAPI
using HCRYPTPROV = ULONG_PTR;
using HCRYPTHASH = ULONG_PTR;
using HCRYPTKEY = ULONG_PTR;
using ALG_ID = unsigned int;
constexpr DWORD PROV_RSA_AES = 24;
constexpr DWORD CRYPT_VERIFYCONTEXT = 0xF0000000;
constexpr ALG_ID CALG_SHA_256 = 0x0000800C;
constexpr DWORD HP_HASHVAL = 0x0002;
BOOL CryptAcquireContextW(HCRYPTPROV*, LPCWSTR, LPCWSTR, DWORD, DWORD);
BOOL CryptReleaseContext(HCRYPTPROV, DWORD);
BOOL CryptCreateHash(HCRYPTPROV, ALG_ID, HCRYPTKEY, DWORD, HCRYPTHASH*);
BOOL CryptHashData(HCRYPTHASH, const BYTE*, DWORD, DWORD);
BOOL CryptGetHashParam(HCRYPTHASH, DWORD, BYTE*, DWORD*, DWORD);
BOOL CryptDestroyHash(HCRYPTHASH);
