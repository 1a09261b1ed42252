#include "ports/device_class_registry.h"

#include <algorithm>
#include <iterator>

#include "platform/wide_text.h"
#include "ports/usb_print_class.h"

namespace {

struct ValueLocation {
  const WCHAR* valueName;
  // The segments after the entry's name, with their terminators and the closing empty one.
  const WCHAR* suffix;
  std::size_t suffixLength;
};

template <std::size_t N>
constexpr ValueLocation Location(const WCHAR* valueName, const WCHAR (&suffix)[N]) {
  return {valueName, suffix, N};
}

const ValueLocation kLocations[] = {
    Location(TEXT("DeviceInstance"), TEXT("")),
    Location(TEXT("SymbolicLink"), TEXT("#\0")),
    Location(TEXT("Linked"), TEXT("#\0Control\0")),
    Location(TEXT("Port Description"), TEXT("#\0Device Parameters\0")),
    Location(TEXT("Port Number"), TEXT("#\0Device Parameters\0")),
};

const ValueLocation* LocationOf(ValueKind kind) {
  const auto index = static_cast<std::size_t>(kind);
  return index < std::size(kLocations) ? &kLocations[index] : nullptr;
}

UniqueRegistryKey OpenUsbPrintClassKey() {
  HKEY key = SetupDiOpenClassRegKeyExW(&kUsbPrintInterfaceClass, KEY_READ, DIOCR_INTERFACE, nullptr,
                                       nullptr);
  if (key == reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE)) return UniqueRegistryKey();
  return UniqueRegistryKey(key);
}

// Completes the segment list after the name received at its start. False when the name is
// too long to be read, or the name, its terminator and the kind's segments do not fit.
bool AppendSegments(WCHAR (&segments)[kSegmentListWidth], DWORD nameLength,
                    const ValueLocation& location) {
  if (nameLength >= kEntryNameLimit) return false;
  const std::size_t start = std::size_t{nameLength} + 1;
  if (start + location.suffixLength > kSegmentListWidth) return false;
  segments[nameLength] = 0;
  std::copy(location.suffix, location.suffix + location.suffixLength, segments + start);
  return true;
}

}  // namespace

int ReadDeviceClassValue(ValueKind kind, DWORD index, WCHAR (&text)[kValueTextWidth],
                         int& endOfEntries) {
  endOfEntries = 0;
  const ValueLocation* location = LocationOf(kind);
  if (location == nullptr) return 0;
  const UniqueRegistryKey classKey = OpenUsbPrintClassKey();
  if (!classKey.IsValid()) {
    endOfEntries = 1;
    return 0;
  }
  WCHAR segments[kSegmentListWidth] = {};
  DWORD nameLength = kSegmentListWidth;
  const LSTATUS status = RegEnumKeyExW(classKey.Get(), index, segments, &nameLength, nullptr,
                                       nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) {
    if (status == static_cast<LSTATUS>(ERROR_NO_MORE_ITEMS)) endOfEntries = 1;
    return 0;
  }
  if (!AppendSegments(segments, nameLength, *location)) return 0;
  const UniqueRegistryKey key = OpenKeyPath(classKey.Get(), segments, kSegmentListWidth);
  if (!key.IsValid()) return 0;
  return ReadKeyValue(key.Get(), kind, text);
}

UniqueRegistryKey OpenKeyPath(HKEY root, const WCHAR* segments, std::size_t capacity) {
  UniqueRegistryKey opened;
  std::size_t at = 0;
  while (at < capacity && segments[at] != 0) {
    const std::size_t length = WideLength(segments + at, capacity - at);
    if (length == capacity - at) return UniqueRegistryKey();
    HKEY child = nullptr;
    const HKEY parent = opened.IsValid() ? opened.Get() : root;
    if (RegOpenKeyExW(parent, segments + at, 0, KEY_READ, &child) != ERROR_SUCCESS) {
      return UniqueRegistryKey();
    }
    opened.Reset(child);
    at += length + 1;
  }
  return opened;
}

int ReadKeyValue(HKEY key, ValueKind kind, WCHAR (&text)[kValueTextWidth]) {
  const ValueLocation* location = LocationOf(kind);
  if (location == nullptr) return 0;
  BYTE data[kValueDataBytes] = {};
  DWORD type = 0;
  DWORD size = sizeof(data);
  if (RegQueryValueExW(key, location->valueName, nullptr, &type, data, &size) != ERROR_SUCCESS) {
    return 0;
  }
  return RenderValueText(type, data, size, text);
}
