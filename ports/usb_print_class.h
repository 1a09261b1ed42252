// The device-interface class of USB printers. Discovery enumerates its present interfaces,
// and port resolution reads the device-class registry entries below its class key.
#pragma once

#include "platform/win32.h"

inline constexpr GUID kUsbPrintInterfaceClass = {
    0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};
