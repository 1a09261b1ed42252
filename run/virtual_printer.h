// Virtual USB printers for the run command, the Wine tests and the benchmarks, registered in the
// throwaway prefix as the platform registers a connected printer: a device-class entry below
// the USB printer interface class key ("DeviceInstance", "#" with "SymbolicLink",
// "#\Control" with "Linked", "#\Device Parameters" with "Port Number"), the device instance
// below Enum with its setup class, and, for a printer that can be opened, a file in the
// prefix's dosdevices folder under the device path's name.
#pragma once

#include <string>

#include "platform/unique_handle.h"

struct VirtualPrinter {
  std::wstring ids;     // e.g. L"VID_D7A5&PID_10A1"
  std::wstring serial;  // the instance's last segment
  DWORD portNumber = 1;
  bool portAsString = false;
  bool linked = true;
  bool openable = true;
};

// A supported printer of the program's table, on USB port 1 (port USB001).
VirtualPrinter SupportedPrinter();

// The device path by which Wine reports the printer's interface: lower case.
std::wstring DevicePathOf(const VirtualPrinter& printer);

// Registers the printer; false when any part could not be written.
bool RegisterPrinter(const VirtualPrinter& printer);
// Removes everything RegisterPrinter wrote.
void UnregisterPrinter(const VirtualPrinter& printer);
