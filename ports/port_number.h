// The spooler's name of a USB port from its port number: "USB" and the number in at least
// three digits, USB001 to USB009, then USB010, USB011 and on, as the spooler names them.
#pragma once

#include "ports/port_text.h"
#include "ports/value_text.h"

// Returns 1 and sets port when the text is a decimal number (digits only, at most the largest
// 32-bit unsigned value, leading zeros allowed); otherwise returns 0 with port untouched, so
// that the user chooses the port instead of installing on one that does not exist.
int FormatUsbPortName(const WCHAR (&number)[kValueTextWidth], PortNameText& port);
