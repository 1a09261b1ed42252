// CUSBPort::GetPortName: the detected printer's spooler port, read from the first linked
// device-class entry that carries the printer's VID and PID.
#include "platform/wide_text.h"
#include "ports/device_class_registry.h"
#include "ports/device_identity.h"
#include "ports/port_number.h"
#include "ports/usb_port.h"

namespace {

const WCHAR kLinkedText[] = TEXT("1");

// Whether the entry at index is linked and its device instance has the device's IDs. Every
// read leaves its end flag in endOfEntries.
bool IsLinkedEntryOf(DWORD index, const IdText& vid, const IdText& pid,
                     WCHAR (&text)[kValueTextWidth], int& endOfEntries) {
  if (ReadDeviceClassValue(ValueKind::Linked, index, text, endOfEntries) == 0) return false;
  if (!WideEqual(text, kLinkedText)) return false;
  if (ReadDeviceClassValue(ValueKind::DeviceInstance, index, text, endOfEntries) == 0) {
    return false;
  }
  IdText entryVid;
  IdText entryPid;
  if (ExtractVidPid(text, entryVid, entryPid) == 0) return false;
  return entryVid == vid && entryPid == pid;
}

}  // namespace

int CUSBPort::GetPortName(PortNameText& port) {
  IdText deviceVid;
  IdText devicePid;
  WCHAR text[kValueTextWidth] = {};
  if (FindDevice(deviceVid, devicePid) == 0) return 0;
  int endOfEntries = 0;
  for (DWORD index = 0; index < kClassEntryScanLimit; ++index) {
    if (IsLinkedEntryOf(index, deviceVid, devicePid, text, endOfEntries)) {
      // The first matching entry decides: without a readable port number there is no port.
      if (ReadDeviceClassValue(ValueKind::PortNumber, index, text, endOfEntries) == 0) return 0;
      return FormatUsbPortName(text, port);
    }
    if (endOfEntries == 1) return 0;
  }
  return 0;
}
