// Reads of the device-class registry entries of the USB printer interface class. Each subkey
// of the class key is one interface entry; a kind names one value of an entry and the path
// below the entry's subkey where it lives.
#pragma once

#include <cstddef>

#include "platform/unique_handle.h"
#include "ports/value_text.h"

enum class ValueKind : BYTE {
  DeviceInstance = 0,   // "DeviceInstance" in the entry itself: source of its VID and PID
  SymbolicLink = 1,     // "#" \ "SymbolicLink"
  Linked = 2,           // "#\Control" \ "Linked": "1" while the interface is linked
  PortDescription = 3,  // "#\Device Parameters" \ "Port Description"
  PortNumber = 4,       // "#\Device Parameters" \ "Port Number": the spooler port's number
};

// The segment list: the entry's name as enumerated, its terminator, the kind's segments, and
// an empty segment that closes the list, in 256 characters.
constexpr std::size_t kSegmentListWidth = 256;
// Entry names this long or longer are never read: below it a name, its terminator and the
// "#", "Control" segments of the Linked read that every examined entry needs (11 characters)
// fit the list. The longer "Device Parameters" segments are checked on their own.
constexpr DWORD kEntryNameLimit = 244;
// Bytes offered to each value query: 260 characters, the platform's path width. A value over
// 256 bytes is refused either way, by the query when it exceeds this buffer, by the rendering
// otherwise; a buffer of this size lets every value the entries hold be read and checked.
constexpr DWORD kValueDataBytes = 520;

// Reads one value of the entry at index into text. Returns 1 when it was read and rendered.
// endOfEntries becomes 1 when there is no entry at index (ERROR_NO_MORE_ITEMS) or when the
// class key cannot be opened, so that a scan ends in either case; otherwise it is 0, also
// when the entry was skipped: its name cannot be enumerated for another reason, or its name
// and the kind's segments do not fit the segment list.
int ReadDeviceClassValue(ValueKind kind, DWORD index, WCHAR (&text)[kValueTextWidth],
                         int& endOfEntries);

// Opens the segments one below the other, starting below root, closing each parent once its
// child is open; root stays open. Returns the key of the last segment, or an empty key when
// the list is empty or any open fails (every key the walk opened is then closed again).
// capacity bounds the walk in characters.
UniqueRegistryKey OpenKeyPath(HKEY root, const WCHAR* segments, std::size_t capacity);

// Queries the kind's value of key into a 520-byte buffer and renders it into text
// (RenderValueText). Returns 0 when the query fails, the value is over 256 bytes, or the
// value cannot be rendered.
int ReadKeyValue(HKEY key, ValueKind kind, WCHAR (&text)[kValueTextWidth]);
