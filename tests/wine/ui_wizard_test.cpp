// Drives the real installer under Wine through its windows, as a user and the platform see
// them: it starts the program from its shippable folder, finds the wizard, reads and presses
// it with window messages, and never calls the installer's own code.
//   ui_wizard_test PROGRAM SCREENSHOT
// PROGRAM is the installer in its shippable folder, SCREENSHOT the PNG file to write the
// welcome page to (both Windows paths).
#include <windows.h>

#include <commctrl.h>
#include <objidl.h>

#include <gdiplus.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/wine/ui_driver.h"

namespace {

const wchar_t kWelcomeText[] =
    L"欢迎使用Velmora打印机驱动程序安装向导。向导会自动获取当前可用的USB端口并自动安装驱动程序。"
    L"如当前可用端口为非USB口，程序将自动进入手动安装模式。";
const wchar_t kPathTooLongText[] =
    L"安装程序所在的路径过长，请将安装程序移至较短的路径后重新运行。";
const wchar_t kSettingsKey[] = L"Software\\Local AppWizard-Generated Applications";

constexpr int kWelcomeTemplate = 130;
constexpr int kWizardBitmap = 129;

// The welcome page's layout in dialog units: the page, the picture and the welcome text.
constexpr RECT kPageUnits = {0, 0, 340, 190};
constexpr RECT kPictureUnits = {0, 0, 152, 192};
constexpr RECT kWelcomeUnits = {170, 17, 170 + 153, 17 + 101};

bool SettingsKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// The window's rectangle in the client coordinates of another window.
RECT RectIn(HWND window, HWND reference) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// Dialog units to pixels, as the dialog manager converts them for the pages' font.
struct DialogUnits {
  int x;
  int y;
  RECT ToPixels(const RECT& units) const {
    return {MulDiv(units.left, x, 4), MulDiv(units.top, y, 8), MulDiv(units.right, x, 4),
            MulDiv(units.bottom, y, 8)};
  }
};

// The pages' font: "MS Shell Dlg" at 8 points with the shell-font style, that is
// "MS Shell Dlg 2", at the 96 dots per inch of the test display.
HFONT CreatePageFont() {
  return CreateFontW(-MulDiv(8, 96, 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                     L"MS Shell Dlg 2");
}

// The dialog base units of the pages' font, measured as the dialog manager measures them.
DialogUnits PageDialogUnits(HDC dc) {
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SIZE size{};
  GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
  return {(size.cx / 26 + 1) / 2, static_cast<int>(metrics.tmHeight)};
}

// The height the static control needs to show text at width pixels, wrapped as it wraps.
int WrappedTextHeight(HDC dc, const wchar_t* text, int width) {
  RECT rect = {0, 0, width, 0};
  DrawTextW(dc, text, -1, &rect, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
  return rect.bottom;
}

bool SameRect(const RECT& a, const RECT& b) {
  // One pixel of rounding either way, as the platform rounds dialog units.
  return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 &&
         std::abs(a.right - b.right) <= 1 && std::abs(a.bottom - b.bottom) <= 1;
}

// Bitmap resource 129 as the installer's file holds it.
struct WizardBitmap {
  std::vector<BYTE> resource;
  const BITMAPINFOHEADER* Header() const {
    return reinterpret_cast<const BITMAPINFOHEADER*>(resource.data());
  }
  // The colour at (x, y), counted from the top-left corner, as 0xRRGGBB.
  DWORD Pixel(int x, int y) const {
    const BITMAPINFOHEADER* header = Header();
    const int stride = (header->biWidth * 3 + 3) / 4 * 4;
    const BYTE* bgr =
        resource.data() + header->biSize + (header->biHeight - 1 - y) * stride + x * 3;
    return static_cast<DWORD>(bgr[2]) << 16 | static_cast<DWORD>(bgr[1]) << 8 | bgr[0];
  }
};

WizardBitmap ReadWizardBitmap(const std::wstring& program) {
  WizardBitmap bitmap;
  HMODULE module = LoadLibraryExW(program.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  CHECK(module != nullptr);
  if (module == nullptr) return bitmap;
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(kWizardBitmap), RT_BITMAP);
  CHECK(found != nullptr);
  if (found != nullptr) {
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    bitmap.resource.assign(data, data + SizeofResource(module, found));
  }
  FreeLibrary(module);
  return bitmap;
}

void CheckBitmapFormat(const WizardBitmap& bitmap) {
  CHECK(bitmap.resource.size() >= sizeof(BITMAPINFOHEADER));
  if (bitmap.resource.size() < sizeof(BITMAPINFOHEADER)) return;
  const BITMAPINFOHEADER* header = bitmap.Header();
  CHECK(header->biWidth == 228);
  CHECK(header->biHeight == 312);
  CHECK(header->biBitCount == 24);
  CHECK(header->biCompression == BI_RGB);
  CHECK(header->biXPelsPerMeter == 3779);
  CHECK(header->biYPelsPerMeter == 3779);
  CHECK(bitmap.resource.size() == header->biSize + 228 * 3 * 312);
}

// What the screen shows inside a window's rectangle, as top-down 0xRRGGBB pixels, plus the

BOOL CALLBACK FindBitmapStatic(HWND child, LPARAM data) {
  if (ClassName(child) != L"Static" ||
      (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) {
    return TRUE;
  }
  *reinterpret_cast<HWND*>(data) = child;
  return FALSE;
}

HWND FindPicture(HWND page) {
  HWND found = nullptr;
  EnumChildWindows(page, FindBitmapStatic, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The wizard opens on the welcome page, which shows its picture and whole text beside it,
// with only Next (and Cancel) to press.
void CheckWelcomePage(HWND wizard, const WizardBitmap& bitmap, const std::wstring& screenshot) {
  HWND page = nullptr;
  CHECK(WaitUntil([&] {
    page = reinterpret_cast<HWND>(SendMessageW(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
    return page != nullptr && IsWindowVisible(page);
  }));
  if (page == nullptr) return;
  const LRESULT index = SendMessageW(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0);
  CHECK(index == 0);
  CHECK(SendMessageW(wizard, PSM_INDEXTOID, index, 0) == kWelcomeTemplate);
  CHECK(WindowText(page) == L"Velmora打印机驱动安装步骤1");

  // Buttons: the page posts its choice, so wait for the sheet to have applied it.
  const auto visible = [&](int id) {
    HWND button = GetDlgItem(wizard, id);
    return button != nullptr && IsWindowVisible(button);
  };
  const auto usable = [&](int id) {
    return visible(id) && IsWindowEnabled(GetDlgItem(wizard, id));
  };
  CHECK(WaitUntil([&] { return usable(kNextButton) && !usable(kBackButton); }, 5000));
  LetSettle(wizard);
  CHECK(visible(kBackButton) && !usable(kBackButton));
  CHECK(usable(kNextButton));
  CHECK(!visible(kFinishButton));
  CHECK(!visible(IDHELP));
  CHECK(usable(IDCANCEL));

  HDC dc = GetDC(nullptr);
  HFONT font = CreatePageFont();
  HGDIOBJ previous = SelectObject(dc, font);
  const DialogUnits units = PageDialogUnits(dc);
  RECT pageRect{};
  GetClientRect(page, &pageRect);
  CHECK(SameRect(pageRect, units.ToPixels(kPageUnits)));

  HWND text = GetDlgItem(page, 1031);
  CHECK(text != nullptr);
  CHECK(WindowText(text) == kWelcomeText);
  const RECT textRect = RectIn(text, page);
  CHECK(SameRect(textRect, units.ToPixels(kWelcomeUnits)));
  // None of the text is cut off: wrapped at the control's width, it fits its height.
  CHECK(WrappedTextHeight(dc, kWelcomeText, textRect.right - textRect.left) <=
        textRect.bottom - textRect.top);
  SelectObject(dc, previous);
  DeleteObject(font);
  ReleaseDC(nullptr, dc);

  HWND picture = FindPicture(page);
  CHECK(picture != nullptr);
  if (picture == nullptr) return;
  CHECK(static_cast<WORD>(GetDlgCtrlID(picture)) == 0xFFFF);
  CHECK(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0);
  const RECT pictureRect = RectIn(picture, page);
  CHECK(SameRect(pictureRect, units.ToPixels(kPictureUnits)));
  CHECK(pictureRect.right - pictureRect.left == 228 && pictureRect.bottom - pictureRect.top == 312);

  // The screen shows bitmap 129 in the picture's place, down to where the page clips it.
  RECT onScreen{};
  GetWindowRect(picture, &onScreen);
  RECT pageOnScreen{};
  GetWindowRect(page, &pageOnScreen);
  onScreen.bottom = std::min(onScreen.bottom, pageOnScreen.bottom);
  ScreenImage shown;
  CaptureScreen(onScreen, shown);
  int differing = 0;
  if (bitmap.resource.size() >= sizeof(BITMAPINFOHEADER)) {
    for (int y = 0; y < std::min(shown.height, 312); ++y) {
      for (int x = 0; x < std::min(shown.width, 228); ++x) {
        if (shown.At(x, y) != bitmap.Pixel(x, y)) ++differing;
      }
    }
  }
  CHECK(shown.height > 300);
  CHECK(differing == 0);
  if (differing != 0) std::fprintf(stderr, "%d pixels of the picture differ\n", differing);

  RECT wizardRect{};
  GetWindowRect(wizard, &wizardRect);
  ScreenImage whole;
  CaptureScreen(wizardRect, whole);
  CHECK(SavePng(whole.bitmap, screenshot));
}

// Cancel on the welcome page closes the wizard and ends the process, leaving no window and
// no settings behind.
void CheckCancel(const Installer& installer, HWND wizard) {
  PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  CHECK(installer.Ended(10000));
  CHECK(installer.ExitCode() == 0);
  CHECK(!IsWindow(wizard));
  CHECK(!HasWindowsOf(installer.Id()));
  CHECK(!SettingsKeyExists());
}

void RunWelcomeAndCancel(const std::wstring& program, const std::wstring& screenshot) {
  const WizardBitmap bitmap = ReadWizardBitmap(program);
  CheckBitmapFormat(bitmap);
  CHECK(!SettingsKeyExists());
  Installer installer(program);
  HWND wizard = installer.WaitForDialog(IsWizard);
  CHECK(wizard != nullptr);
  if (wizard == nullptr) return;
  CHECK(DialogsOf(installer.Id()).size() == 1);
  CheckWelcomePage(wizard, bitmap, screenshot);
  CheckCancel(installer, wizard);
}

// Started from a folder so deep that the driver package's path would not fit, the program
// says so and ends without showing the wizard.
void RunFromTooDeepAFolder(const std::wstring& program) {
  // 240 characters with the trailing backslash: the program's own path still fits 260
  // characters, the driver package's INF path below it does not.
  std::wstring folder = L"C:\\deep";
  CHECK(CreateDirectoryW(folder.c_str(), nullptr));
  while (folder.size() < 239) {
    folder += L"\\" + std::wstring(std::min<size_t>(50, 239 - folder.size() - 1), L'd');
    CHECK(CreateDirectoryW(folder.c_str(), nullptr));
  }
  const std::wstring copy = folder + L"\\" + program.substr(program.find_last_of(L'\\') + 1);
  CHECK(copy.size() < MAX_PATH);
  CHECK(CopyFileW(program.c_str(), copy.c_str(), TRUE));

  Installer installer(copy);
  HWND box = installer.WaitForDialog([](HWND dialog) { return WindowText(dialog) == L"ERROR"; });
  CHECK(box != nullptr);
  if (box == nullptr) return;
  CHECK(WindowText(GetDlgItem(box, kMessageBoxText)) == kPathTooLongText);
  CHECK(GetDlgItem(box, IDOK) != nullptr);
  CHECK(DialogsOf(installer.Id()).size() == 1);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  CHECK(installer.Ended(10000));
  CHECK(!HasWindowsOf(installer.Id()));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: ui_wizard_test PROGRAM SCREENSHOT\n");
    return 2;
  }
  RunWelcomeAndCancel(argv[1], argv[2]);
  RunFromTooDeepAFolder(argv[1]);
  return CheckResult();
}
