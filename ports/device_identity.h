// A USB device's identity taken from its identifying text: a device path such as
// \\?\usb#vid_xxxx&pid_yyyy#... or a device instance ID such as USB\VID_xxxx&PID_yyyy\...,
// and the lookup of that identity among the supported printers.
#pragma once

#include <cstddef>

#include "ports/port_text.h"

// Texts are at most 259 characters; the working copy holds them with their terminator.
constexpr std::size_t kIdentityTextWidth = 260;

// Upper-cases the source (ASCII letters only, whatever the locale) and takes at most four
// characters after the first "VID_" and after the first "PID_", each searched from the start.
// Returns 1 and assigns both outputs when both markers occur; otherwise returns 0 and leaves
// both untouched. A source of 260 characters or more is refused with 0.
int ExtractVidPid(const WCHAR* source, IdText& vid, IdText& pid);

// 1 when the pair equals a row of SupportedDeviceTable, compared whole and case-sensitively.
int IsSupportedDevice(const WCHAR* vid, const WCHAR* pid);
