#include "ports/supported_devices.h"

// Four vendors; the first makes five of the models. Product 10B4 is made by two vendors, so
// only the pair names a printer.
constexpr SupportedDevice SupportedDeviceTable[kSupportedDeviceCount] = {
    {TEXT("D7A5"), TEXT("10A1")}, {TEXT("D7A5"), TEXT("10A2")}, {TEXT("D7A5"), TEXT("10B4")},
    {TEXT("D7A5"), TEXT("20C1")}, {TEXT("D7A5"), TEXT("20C2")}, {TEXT("E9C4"), TEXT("3F0E")},
    {TEXT("B3F1"), TEXT("10B4")}, {TEXT("C6E8"), TEXT("5D2A")},
};

namespace {

// The extractor yields upper-case text and the lookup compares exactly: a row in lower case,
// or of other than four digits, would never match a device.
constexpr bool IsUpperCaseHexId(const WCHAR (&id)[5]) {
  for (int i = 0; i < 4; ++i) {
    const bool digit = id[i] >= TEXT('0') && id[i] <= TEXT('9');
    if (!digit && !(id[i] >= TEXT('A') && id[i] <= TEXT('F'))) return false;
  }
  return id[4] == 0;
}

constexpr bool EveryRowIsUpperCaseHex() {
  for (const SupportedDevice& device : SupportedDeviceTable) {
    if (!IsUpperCaseHexId(device.Vid) || !IsUpperCaseHexId(device.Pid)) return false;
  }
  return true;
}

static_assert(EveryRowIsUpperCaseHex(),
              "each supported VID and PID is four upper-case hexadecimal digits");

}  // namespace
