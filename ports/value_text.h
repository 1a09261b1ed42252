// Registry data rendered as the text that port resolution compares and formats: a REG_DWORD
// as signed decimal, anything else as the UTF-16 text its bytes hold.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// The text buffer of one read: 256 characters, terminator included.
constexpr std::size_t kValueTextWidth = 256;
// Values stored with more bytes than this are not rendered.
constexpr DWORD kValueTextBytes = 256;

// Returns 1 with the text at the start of text, always terminated: a REG_DWORD of exactly four
// bytes as "%d" would write it; any other type as its bytes, an odd last byte dropped, ended
// after the copied characters so that a value stored without its terminator never runs on
// into what an earlier read left. Returns 0, text untouched, for more than 256 bytes or a
// REG_DWORD of any other size.
int RenderValueText(DWORD type, const BYTE* data, DWORD size, WCHAR (&text)[kValueTextWidth]);
