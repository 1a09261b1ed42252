// Simulated device setup and registry: the present USB printer interfaces, and the keys below
// the USB printer interface class key, each open list and key counted until it is released.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::TheMachine;

HDEVINFO SetupDiGetClassDevsW(const GUID*, LPCWSTR, HWND, DWORD) {
  if (TheMachine().TakeFailure(&SetupDiGetClassDevsW)) return INVALID_HANDLE_VALUE;
  return reinterpret_cast<HDEVINFO>(TheMachine().New());
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO, SP_DEVINFO_DATA*, const GUID*, DWORD index,
                                 SP_DEVICE_INTERFACE_DATA* data) {
  if (TheMachine().TakeFailure(&SetupDiEnumDeviceInterfaces)) return FALSE;
  if (index >= TheMachine().interfaces.size()) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  data->Reserved = index;
  return TRUE;
}

BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO, SP_DEVICE_INTERFACE_DATA* data,
                                      SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail, DWORD detailSize,
                                      LPDWORD requiredSize, SP_DEVINFO_DATA*) {
  if (TheMachine().TakeFailure(&SetupDiGetDeviceInterfaceDetailW)) return FALSE;
  const std::u16string& path = TheMachine().interfaces.at(data->Reserved);
  const std::size_t bytes = (path.size() + 1) * sizeof(WCHAR);
  const auto needed =
      static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + bytes);
  if (requiredSize != nullptr) *requiredSize = needed;
  if (detail == nullptr || detailSize < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(detail->DevicePath, path.c_str(), bytes);
  return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) { return TheMachine().Release(sim::Id(set)); }

HKEY SetupDiOpenClassRegKeyExW(const GUID*, REGSAM, DWORD, LPCWSTR, PVOID) {
  if (TheMachine().TakeFailure(&SetupDiOpenClassRegKeyExW)) {
    return reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE);
  }
  return reinterpret_cast<HKEY>(TheMachine().New());
}

// Only the class key is enumerated.
LSTATUS RegEnumKeyExW(HKEY, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD, LPWSTR, LPDWORD,
                      FILETIME*) {
  const auto& entries = TheMachine().classEntries;
  if (TheMachine().TakeFailure(&RegEnumKeyExW)) return static_cast<LSTATUS>(GetLastError());
  if (index >= entries.size()) return ERROR_NO_MORE_ITEMS;
  if (entries[index].size() >= *nameLength) return ERROR_MORE_DATA;
  *nameLength = static_cast<DWORD>(entries[index].copy(name, entries[index].size()));
  name[*nameLength] = 0;
  return ERROR_SUCCESS;
}

// Every key opens; a value below a key that does not exist is not found.
LSTATUS RegOpenKeyExW(HKEY parent, LPCWSTR subKey, DWORD, REGSAM, HKEY* result) {
  sim::Machine& machine = TheMachine();
  if (machine.TakeFailure(&RegOpenKeyExW)) return static_cast<LSTATUS>(GetLastError());
  const std::u16string& path = machine.held.at(sim::Id(parent));
  *result = reinterpret_cast<HKEY>(machine.New(path + subKey + u"\\"));
  return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                         LPDWORD dataSize) {
  sim::Machine& machine = TheMachine();
  if (machine.TakeFailure(&RegQueryValueExW)) return static_cast<LSTATUS>(GetLastError());
  const auto found = machine.values.find(machine.held.at(sim::Id(key)) + valueName);
  if (found == machine.values.end()) return ERROR_FILE_NOT_FOUND;
  const std::vector<BYTE>& stored = found->second.data;
  *type = found->second.type;
  if (*dataSize < stored.size()) return ERROR_MORE_DATA;
  *dataSize = static_cast<DWORD>(stored.size());
  std::copy(stored.begin(), stored.end(), data);
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  if (!TheMachine().Release(sim::Id(key))) return ERROR_INVALID_HANDLE;
  return ERROR_SUCCESS;
}
