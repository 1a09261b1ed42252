// Loaded into the running installer by the Wine tests (tests/wine/ui_probe.h), to read what
// only the installer's own process can: the cursor it shows, and the room its texts take in the
// fonts its controls draw them in (a font handle means nothing in another process). Each
// function runs on a thread of its own in the installer and answers in its exit code.
#include <windows.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "tests/wine/ui_probe.h"

namespace {

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The width and height that the control's text takes, drawn in the control's font as the
// control draws it: a static control's text wrapped at its client width, as SS_LEFT draws it;
// a list box's widest entry and its height on one line.
SIZE TextSize(HWND control) {
  SIZE size{};
  HDC dc = GetDC(control);
  if (dc == nullptr) return size;
  const HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  wchar_t name[16] = {};
  GetClassNameW(control, name, 16);
  if (_wcsicmp(name, L"ListBox") == 0) {
    const LRESULT count = SendMessageW(control, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
      std::wstring entry(static_cast<size_t>(SendMessageW(control, LB_GETTEXTLEN, i, 0)) + 1,
                         L'\0');
      entry.resize(static_cast<size_t>(
          SendMessageW(control, LB_GETTEXT, i, reinterpret_cast<LPARAM>(entry.data()))));
      SIZE extent{};
      GetTextExtentPoint32W(dc, entry.c_str(), static_cast<int>(entry.size()), &extent);
      size.cx = std::max(size.cx, extent.cx);
      size.cy = std::max(size.cy, extent.cy);
    }
  } else {
    RECT client{};
    GetClientRect(control, &client);
    RECT text{0, 0, client.right, 0};
    const std::wstring shown = TextOf(control);
    DrawTextW(dc, shown.c_str(), -1, &text, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
    size = {text.right, text.bottom};
  }
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return size;
}

}  // namespace

extern "C" {

// The cursor the pointer shows now: kAppStartingCursor, kArrowCursor or kOtherCursor.
__declspec(dllexport) DWORD WINAPI ProbeCursor(void*) {
  CURSORINFO info{};
  info.cbSize = sizeof(info);
  if (!GetCursorInfo(&info)) return kOtherCursor;
  if (info.hCursor == LoadCursorW(nullptr, IDC_APPSTARTING)) return kAppStartingCursor;
  if (info.hCursor == LoadCursorW(nullptr, IDC_ARROW)) return kArrowCursor;
  return kOtherCursor;
}

// MAKELONG(width, height) of the control's text (TextSize).
__declspec(dllexport) DWORD WINAPI ProbeTextSize(void* control) {
  const SIZE size = TextSize(static_cast<HWND>(control));
  return MAKELONG(size.cx, size.cy);
}

// MAKELONG(horizontal, vertical) base units of the dialog: 4 and 8 dialog units in pixels.
__declspec(dllexport) DWORD WINAPI ProbeDialogUnits(void* dialog) {
  RECT units{0, 0, 4, 8};
  if (!MapDialogRect(static_cast<HWND>(dialog), &units)) return 0;
  return MAKELONG(units.right, units.bottom);
}

// Whether the process draws at the screen's DPI, as its manifest asks.
__declspec(dllexport) DWORD WINAPI ProbeDpiAware(void*) { return IsProcessDPIAware() ? 1 : 0; }

}  // extern "C"
