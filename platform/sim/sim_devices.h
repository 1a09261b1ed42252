// The simulated machine's devices: the present USB printer interfaces, the device-class
// registry, the spooler's ports, and the device files, keys and device-information lists
// that the code holds open. A test scripts this state; the simulated calls answer from it.
//
// How the calls appear in Machine::events:
// SetupDiGetClassDevsW: detail = class GUID, text = enumerator, value = flags, owner = parent;
// SetupDiEnumDeviceInterfaces: detail = class GUID, text = "device" when a device record was
//   given, value = index, flags = the record's cbSize;
// SetupDiGetDeviceInterfaceDetailW: text = "query" without a detail record, "fetch" with one,
//   detail = "device" when a device record was given, aux = "required" when a required-size
//   variable was given, value = the detail size given, flags = the detail record's cbSize;
// SetupDiOpenClassRegKeyExW: detail = class GUID, text = machine name, value = access,
//   flags = flags;
// CreateFileW: text = path, value = access (every argument is kept in fileOpens);
// RegEnumKeyExW: value = index, flags = name capacity offered;
// RegOpenKeyExW: text = subkey, value = access, flags = options;
// RegQueryValueExW: text = value name, value = data size offered, flags = 1 with a buffer;
// RegCloseKey and SetupDiDestroyDeviceInfoList: value = the key or list;
// EnumPortsW: text = server name, value = buffer size, flags = level.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/simwin32.h"

namespace sim {

// The device-interface class of USB printers, as the machine knows it. Kept apart from the
// system's own constant so that a wrong constant there finds nothing.
extern const GUID kUsbPrintClass;
std::u16string GuidText(const GUID& guid);

// One registry value as stored: its type and its bytes, with or without a terminator.
struct RegistryValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};
RegistryValue DwordValue(DWORD value);
RegistryValue StringValue(const std::u16string& text, bool terminated = true);
RegistryValue BytesValue(DWORD type, std::vector<BYTE> data);

// A registry key: named values, and subkeys in the order they were added, which is the order
// in which RegEnumKeyExW reports them. Names compare without regard to ASCII letter case.
class RegistryKey {
 public:
  // The subkey of that name, created when missing.
  RegistryKey& Subkey(const std::u16string& name);
  RegistryKey* Find(const std::u16string& name);
  void Set(const std::u16string& name, RegistryValue value);
  const RegistryValue* Get(const std::u16string& name) const;

  std::size_t SubkeyCount() const { return children_.size(); }
  const std::u16string& SubkeyName(std::size_t index) const { return children_[index].name; }

  // When nonzero, every RegEnumKeyExW on this key fails with this code.
  DWORD enumError = 0;

 private:
  struct Child {
    std::u16string name;
    std::unique_ptr<RegistryKey> key;
  };
  std::vector<Child> children_;
  std::map<std::u16string, std::size_t> childIndex_;
  std::map<std::u16string, RegistryValue> values_;
};

// One present USB printer interface.
struct UsbInterface {
  std::u16string path;
  // When nonzero, CreateFileW on the path fails with this code.
  DWORD openError = 0;
};

// The arguments of one CreateFileW call.
struct FileOpen {
  std::u16string path;
  DWORD access = 0;
  DWORD shareMode = 0;
  bool security = false;
  DWORD disposition = 0;
  DWORD flags = 0;
  bool templateFile = false;
};

struct DeviceWorld {
  std::vector<UsbInterface> interfaces;
  // The USB printer interface class key that SetupDiOpenClassRegKeyExW opens.
  RegistryKey classKey;
  std::vector<std::u16string> spoolerPorts;
  // Runs after each EnumPortsW size query, e.g. to add a port between the two calls.
  std::function<void()> afterPortSizeQuery;

  std::vector<FileOpen> fileOpens;

  // What the code holds open right now, besides kernel handles.
  std::set<HDEVINFO> openLists;
  std::set<HKEY> openKeys;
  bool AllReleased() const { return openLists.empty() && openKeys.empty(); }

  // Bookkeeping of the simulated calls.
  std::map<HDEVINFO, std::vector<UsbInterface>> listContents;
  std::map<HKEY, RegistryKey*> keyTargets;
  std::map<HANDLE, FileOpen> deviceFiles;
  std::uintptr_t nextId = 0x7000000;
};

}  // namespace sim
