// The USB printer detector: finds the first present, openable, supported USB printer, keeps
// it open, and resolves the spooler port on which it is to be installed.
#pragma once

#include "platform/unique_handle.h"
#include "ports/port_text.h"

// Interfaces at this index or later are never examined. Detection runs on the wizard's thread
// and opens and closes every interface before the printer, so its work is bounded; only
// present interfaces count, and no machine has this many USB printers attached.
constexpr DWORD kInterfaceScanLimit = 127;
// Device-class entries at this index or later are never examined, so the scan ends even when
// every entry keeps failing to enumerate. Windows keeps one entry per printer interface ever
// registered, a few dozen on a busy machine: the bound is far above any real class key.
constexpr DWORD kClassEntryScanLimit = 16384;

// FindDevice is the one virtual operation and there is no virtual destructor: the port page
// owns its detector by value, and no detector is ever deleted through a pointer to this class.
class CUSBPort {  // NOLINT(cppcoreguidelines-virtual-class-destructor)
 public:
  CUSBPort() = default;
  CUSBPort(const CUSBPort&) = delete;
  CUSBPort& operator=(const CUSBPort&) = delete;

  // Walks the present USB printer interfaces in order (indices 0 to 126), opening each one
  // without sharing, and stops at the first whose device path carries a supported VID and
  // PID. Returns 1 with that device open in m_hDevice and its IDs in vid and pid; returns 0
  // when there is none, every handle of the run closed again (vid and pid are then not to be
  // used). The handle that an earlier run kept is closed first, so that the same printer can
  // be opened again. Skipped: paths of 260 characters or more, interfaces whose size query
  // yields no size, failed detail fetches, devices that cannot be opened.
  virtual int FindDevice(IdText& vid, IdText& pid);

  // Runs FindDevice, then takes the first linked device-class entry with the device's VID
  // and PID and names its port from its "Port Number" (FormatUsbPortName). Returns 1 with
  // port set; returns 0 with port untouched when no device is found, no entry matches before
  // the entries end, or the matching entry's port number cannot be read or is no number.
  int GetPortName(PortNameText& port);

 private:
  // The detected printer, open for the life of the detector or until the next run.
  UniqueFileHandle m_hDevice;
};
