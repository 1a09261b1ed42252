#include "ports/usb_port.h"

#include <algorithm>
#include <cstddef>

#include "platform/local_buffer.h"
#include "platform/wide_text.h"
#include "ports/device_identity.h"
#include "ports/usb_print_class.h"

namespace {

constexpr std::size_t kDevicePathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
// The detail size that a path of 259 characters and its terminator need; larger sizes belong
// to paths that the device-path buffer cannot hold.
constexpr std::size_t kLargestDetailBytes = kDevicePathOffset + kIdentityTextWidth * sizeof(WCHAR);
constexpr auto kLargestDetailSize = static_cast<DWORD>(kLargestDetailBytes);
// The detail record is allocated at this many times the size the platform asks for, while the
// fetch is given the size asked for: a platform that writes past the size it reported still
// writes inside the record. The slack costs a few hundred bytes per interface.
constexpr SIZE_T kDetailRecordFactor = 4;

// Copies the interface's device path into path. False when the interface is to be skipped.
bool ReadDevicePath(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& data,
                    WCHAR (&path)[kIdentityTextWidth]) {
  DWORD required = 0;
  SetupDiGetDeviceInterfaceDetailW(set, &data, nullptr, 0, &required, nullptr);
  if (required == 0 || required > kLargestDetailSize) return false;
  LocalBuffer record(
      std::max<SIZE_T>(kDetailRecordFactor * required, sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)));
  if (!record.IsValid()) return false;
  auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(record.Data());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  DWORD fetched = 0;
  if (SetupDiGetDeviceInterfaceDetailW(set, &data, detail, required, &fetched, nullptr) != TRUE) {
    return false;
  }
  const std::size_t room = (record.Size() - kDevicePathOffset) / sizeof(WCHAR);
  const std::size_t limit = std::min(room, kIdentityTextWidth);
  const std::size_t length = WideLength(detail->DevicePath, limit);
  if (length == limit) return false;
  std::copy(detail->DevicePath, detail->DevicePath + length + 1, path);
  return true;
}

HANDLE OpenDevice(const WCHAR* path) {
  return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OVERLAPPED, nullptr);
}

}  // namespace

int CUSBPort::FindDevice(IdText& vid, IdText& pid) {
  m_hDevice.Reset();
  WCHAR path[kIdentityTextWidth] = {};
  const UniqueDeviceInfoList set(SetupDiGetClassDevsW(&kUsbPrintInterfaceClass, nullptr, nullptr,
                                                      DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (!set.IsValid()) return 0;
  SP_DEVICE_INTERFACE_DATA data{};
  data.cbSize = sizeof(data);
  DWORD index = 0;
  BOOL enumerated = FALSE;
  for (; index < kInterfaceScanLimit; ++index) {
    enumerated =
        SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &kUsbPrintInterfaceClass, index, &data);
    if (!enumerated) break;
    if (!ReadDevicePath(set.Get(), data, path)) continue;
    m_hDevice.Reset(OpenDevice(path));
    if (!m_hDevice.IsValid()) continue;
    if (ExtractVidPid(path, vid, pid) == 1 && IsSupportedDevice(vid.c_str(), pid.c_str()) == 1) {
      break;
    }
    m_hDevice.Reset();
  }
  return enumerated && index < kInterfaceScanLimit && m_hDevice.IsValid() ? 1 : 0;
}
