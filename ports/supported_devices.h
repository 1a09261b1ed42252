// The printers this installer supports, by USB vendor and product ID. Both IDs are four
// upper-case hexadecimal digits, because the lookup compares exactly and the extractor
// always yields upper-case text.
#pragma once

#include <cstddef>

#include "platform/win32.h"

struct SupportedDevice {
  WCHAR Vid[5];
  WCHAR Pid[5];
};

constexpr std::size_t kSupportedDeviceCount = 8;
extern const SupportedDevice SupportedDeviceTable[kSupportedDeviceCount];
