// Simulated device setup: a device-information list is a snapshot of the present USB printer
// interfaces, taken when the list is made and counted until it is destroyed.
#include <cstddef>
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

namespace {

const std::vector<sim::UsbInterface>* Contents(HDEVINFO set) {
  auto& lists = TheMachine().devices.listContents;
  auto found = lists.find(set);
  return found == lists.end() ? nullptr : &found->second;
}

bool IsUsbPrintClass(const GUID* guid) {
  return guid != nullptr && std::memcmp(guid, &sim::kUsbPrintClass, sizeof(GUID)) == 0;
}

}  // namespace

HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, LPCWSTR enumerator, HWND parent, DWORD flags) {
  sim::Machine& machine = TheMachine();
  sim::Event event{Call::SetupDiGetClassDevsW, enumerator ? enumerator : u"",
                   classGuid ? sim::GuidText(*classGuid) : u"", flags};
  event.owner = parent;
  machine.Record(event);
  if (machine.TakeFailure(Call::SetupDiGetClassDevsW)) return INVALID_HANDLE_VALUE;
  sim::DeviceWorld& world = machine.devices;
  HDEVINFO set = reinterpret_cast<HDEVINFO>(world.nextId);
  world.nextId += 4;
  world.openLists.insert(set);
  // Only interfaces of the USB printer class exist on this machine.
  const bool interfaces = (flags & DIGCF_DEVICEINTERFACE) != 0 && IsUsbPrintClass(classGuid);
  world.listContents[set] = interfaces ? world.interfaces : std::vector<sim::UsbInterface>{};
  return set;
}

BOOL SetupDiEnumDeviceInterfaces(HDEVINFO set, PSP_DEVINFO_DATA device, const GUID* classGuid,
                                 DWORD index, PSP_DEVICE_INTERFACE_DATA data) {
  sim::Machine& machine = TheMachine();
  sim::Event event{Call::SetupDiEnumDeviceInterfaces, device ? u"device" : u"",
                   classGuid ? sim::GuidText(*classGuid) : u"", index};
  event.flags = data ? data->cbSize : 0;
  machine.Record(event);
  if (machine.TakeFailure(Call::SetupDiEnumDeviceInterfaces)) return FALSE;
  const std::vector<sim::UsbInterface>* contents = Contents(set);
  if (contents == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (!IsUsbPrintClass(classGuid) || index >= contents->size()) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  data->InterfaceClassGuid = *classGuid;
  data->Flags = 1;  // SPINT_ACTIVE
  data->Reserved = index + 1;
  return TRUE;
}

BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO set, PSP_DEVICE_INTERFACE_DATA data,
                                      PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail, DWORD detailSize,
                                      LPDWORD requiredSize, PSP_DEVINFO_DATA device) {
  sim::Machine& machine = TheMachine();
  sim::Event event{Call::SetupDiGetDeviceInterfaceDetailW, detail ? u"fetch" : u"query",
                   device ? u"device" : u"", detailSize};
  event.flags = detail ? detail->cbSize : 0;
  event.aux = requiredSize ? u"required" : u"";
  machine.Record(event);
  if (machine.TakeFailure(Call::SetupDiGetDeviceInterfaceDetailW)) return FALSE;
  const std::vector<sim::UsbInterface>* contents = Contents(set);
  if (contents == nullptr || data == nullptr || data->Reserved == 0 ||
      data->Reserved > contents->size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((detail == nullptr && detailSize != 0) ||
      (detail != nullptr && detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W))) {
    SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  const std::u16string& path = (*contents)[data->Reserved - 1].path;
  const std::size_t offset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
  const DWORD needed = static_cast<DWORD>(offset + (path.size() + 1) * sizeof(WCHAR));
  if (requiredSize != nullptr) *requiredSize = needed;
  if (detail == nullptr || detailSize < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(detail->DevicePath, path.c_str(), (path.size() + 1) * sizeof(WCHAR));
  return TRUE;
}

BOOL SetupDiDestroyDeviceInfoList(HDEVINFO set) {
  sim::Machine& machine = TheMachine();
  machine.Record(
      {Call::SetupDiDestroyDeviceInfoList, {}, {}, reinterpret_cast<std::uintptr_t>(set)});
  if (machine.devices.openLists.erase(set) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  machine.devices.listContents.erase(set);
  return TRUE;
}
