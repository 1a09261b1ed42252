// The wizard at the screen scalings users run: 100, 125, 150 and 200 % (96, 120, 144 and 192
// dpi), each set in the prefix's registry before the installer starts, where Wine 8 reads it.
// The installer is DPI aware; on both pages the picture fills the frame that its dialog units
// give and shows bitmap 129 there, scaled; the welcome text, the detected and the manual prompt
// and the list's entries each fit their control, measured as drawn, in the control's own font
// (ui_probe.dll, in the installer). Prints what it measured.
//   ui_scaling_test PROGRAM     (a Windows path)
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "run/virtual_printer.h"
#include "tests/wine/ui_driver.h"
#include "tests/wine/ui_probe.h"

namespace {

// Bitmap 129's size.
constexpr int kBitmapWidth = 228;
constexpr int kBitmapHeight = 312;

// Where Wine 8 takes the screen's DPI from: the user's desktop settings, and the machine's
// font settings, from which it fills in the former.
void SetScreenDpi(DWORD dpi) {
  for (const auto& [root, path] :
       {std::make_pair(HKEY_CURRENT_USER, L"Control Panel\\Desktop"),
        std::make_pair(
            HKEY_LOCAL_MACHINE,
            L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts")}) {
    HKEY key = nullptr;
    CHECK(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) ==
          ERROR_SUCCESS);
    const UniqueRegistryKey owned(key);
    CHECK(RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                         sizeof(dpi)) == ERROR_SUCCESS);
  }
}

// A pixel of bitmap 129 as the program file holds it.
COLORREF BitmapPixel(const std::wstring& program, int x, int y) {
  const UniqueModule file(LoadLibraryExW(
      program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(file.Get(), MAKEINTRESOURCEW(129), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ previous = SelectObject(dc, bitmap);
  const COLORREF pixel = GetPixel(dc, x, y);
  SelectObject(dc, previous);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return pixel;
}

bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 16 &&
         std::abs(GetGValue(a) - GetGValue(b)) <= 16 && std::abs(GetBValue(a) - GetBValue(b)) <= 16;
}

struct Run {
  std::wstring program;
  int dpi;
  const Probe& probe;
  HWND wizard;
};

// The picture control is the frame's size in the page's dialog units, and shows bitmap 129
// over all of it: a point near its right edge, which the bitmap at its own size would not
// reach beyond 96 dpi, shows the bitmap's pixel at the same place.
void CheckPicture(const Run& run, HWND page) {
  const DWORD units = run.probe.Call("ProbeDialogUnits", page);
  const int width = MulDiv(WIZARD_PICTURE_WIDTH, LOWORD(units), 4);
  const int height = MulDiv(WIZARD_PICTURE_HEIGHT, HIWORD(units), 8);
  RECT picture{};
  GetWindowRect(FindWindowExW(page, nullptr, L"Static", nullptr), &picture);
  std::wprintf(L"%d dpi: base units %d x %d, picture frame %d x %d, control %ld x %ld\n", run.dpi,
               LOWORD(units), HIWORD(units), width, height, picture.right - picture.left,
               picture.bottom - picture.top);
  CHECK(units != 0 && picture.right - picture.left == width &&
        picture.bottom - picture.top == height);
  HDC screen = GetDC(nullptr);
  const COLORREF shown = GetPixel(screen, picture.left + width * 9 / 10, picture.top + height / 10);
  ReleaseDC(nullptr, screen);
  const COLORREF own = BitmapPixel(run.program, kBitmapWidth * 9 / 10, kBitmapHeight / 10);
  CHECK(own != CLR_INVALID && Near(shown, own));
}

// The control's text fits its client area (a list: its widest entry, one line high).
void CheckText(const Run& run, HWND control, const wchar_t* what) {
  const DWORD needed = run.probe.Call("ProbeTextSize", control);
  RECT client{};
  GetClientRect(control, &client);
  std::wprintf(L"%d dpi: %ls needs %d x %d, has %ld x %ld\n", run.dpi, what, LOWORD(needed),
               HIWORD(needed), client.right, client.bottom);
  CHECK(needed != 0 && LOWORD(needed) <= client.right && HIWORD(needed) <= client.bottom);
}

void CheckAt(const std::wstring& program, int dpi) {
  SetScreenDpi(dpi);
  const VirtualPrinter printer = SupportedPrinter();
  CHECK(RegisterPrinter(printer));
  Installer installer(program);
  HWND wizard = installer.WaitForDialog(IsWizard);
  CHECK(wizard != nullptr && WaitUntil([&] { return PageIndex(wizard) == 0; }));
  LetSettle(wizard);
  const Probe probe(installer.Handle());
  CHECK(probe.Loaded() && probe.Call("ProbeDpiAware") == 1);
  const Run run{program, dpi, probe, wizard};
  CheckPicture(run, CurrentPage(wizard));
  CheckText(run, GetDlgItem(CurrentPage(wizard), IDC_WELCOME), L"welcome text");
  Press(wizard, PSBTN_NEXT, 1);
  CheckPicture(run, CurrentPage(wizard));
  CheckText(run, GetDlgItem(CurrentPage(wizard), IDC_PROMPT), L"detected prompt");
  Press(wizard, PSBTN_BACK, 0);
  UnregisterPrinter(printer);
  Press(wizard, PSBTN_NEXT, 1);
  CHECK(IsWindowVisible(GetDlgItem(CurrentPage(wizard), IDC_PORT_LIST)));
  CheckText(run, GetDlgItem(CurrentPage(wizard), IDC_PROMPT), L"manual prompt");
  CheckText(run, GetDlgItem(CurrentPage(wizard), IDC_PORT_LIST), L"port list");
  PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  CHECK(installer.Ended(10000));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  for (const int dpi : {96, 120, 144, 192}) CheckAt(argv[1], dpi);
  return failedChecks == 0 ? 0 : 1;
}
