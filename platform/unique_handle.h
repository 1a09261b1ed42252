// One move-only owner for every kind of platform handle. Each kind names its invalid value
// and the call that releases it, so no exit path has to remember to close anything.
#pragma once

#include <utility>

#include "platform/win32.h"

template <typename Traits>
class UniqueHandle {
 public:
  using Type = typename Traits::Type;

  UniqueHandle() = default;
  explicit UniqueHandle(Type handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  bool IsValid() const { return handle_ != Traits::Invalid(); }
  Type Get() const { return handle_; }
  Type Release() { return std::exchange(handle_, Traits::Invalid()); }
  void Reset(Type handle = Traits::Invalid()) {
    if (IsValid()) Traits::Close(handle_);
    handle_ = handle;
  }

 private:
  Type handle_ = Traits::Invalid();
};

// Process and thread handles: NULL when absent.
struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return nullptr; }
  static void Close(Type handle) { CloseHandle(handle); }
};
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

// File and device handles: INVALID_HANDLE_VALUE when absent.
struct FileHandleTraits {
  using Type = HANDLE;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type handle) { CloseHandle(handle); }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

// Registry keys: NULL when absent. The caller turns the INVALID_HANDLE_VALUE with which
// SetupDiOpenClassRegKeyExW reports failure into an empty key.
struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Invalid() { return nullptr; }
  static void Close(Type key) { RegCloseKey(key); }
};
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;

// Device-information lists: INVALID_HANDLE_VALUE when absent, not NULL.
struct DeviceInfoListTraits {
  using Type = HDEVINFO;
  static Type Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Type list) { SetupDiDestroyDeviceInfoList(list); }
};
using UniqueDeviceInfoList = UniqueHandle<DeviceInfoListTraits>;

// CryptoAPI providers and hashes: 0 when absent.
struct CryptProviderTraits {
  using Type = HCRYPTPROV;
  static Type Invalid() { return 0; }
  static void Close(Type provider) { CryptReleaseContext(provider, 0); }
};
using UniqueCryptProvider = UniqueHandle<CryptProviderTraits>;

struct CryptHashTraits {
  using Type = HCRYPTHASH;
  static Type Invalid() { return 0; }
  static void Close(Type hash) { CryptDestroyHash(hash); }
};
using UniqueCryptHash = UniqueHandle<CryptHashTraits>;

// Memory the platform allocated for the caller with LocalAlloc: NULL when absent.
struct LocalMemoryTraits {
  using Type = HLOCAL;
  static Type Invalid() { return nullptr; }
  static void Close(Type memory) { LocalFree(memory); }
};
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

// Libraries the program loads by itself: NULL when absent.
struct ModuleTraits {
  using Type = HMODULE;
  static Type Invalid() { return nullptr; }
  static void Close(Type module) { FreeLibrary(module); }
};
using UniqueModule = UniqueHandle<ModuleTraits>;

// GDI objects (bitmaps) and memory device contexts.
struct GdiObjectTraits {
  using Type = HGDIOBJ;
  static Type Invalid() { return nullptr; }
  static void Close(Type object) { ::DeleteObject(object); }
};
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;

struct MemoryDcTraits {
  using Type = HDC;
  static Type Invalid() { return nullptr; }
  static void Close(Type dc) { ::DeleteDC(dc); }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
