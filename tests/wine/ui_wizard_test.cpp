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

#include "platform/unique_handle.h"
#include "tests/wine/wine_check.h"

namespace {

const wchar_t kWelcomeText[] =
    L"欢迎使用Velmora打印机驱动程序安装向导。向导会自动获取当前可用的USB端口并自动安装驱动程序。"
    L"如当前可用端口为非USB口，程序将自动进入手动安装模式。";
const wchar_t kPathTooLongText[] =
    L"安装程序所在的路径过长，请将安装程序移至较短的路径后重新运行。";
const wchar_t kSettingsKey[] = L"Software\\Local AppWizard-Generated Applications";

// Ids in the platform's templates: the wizard buttons of a property sheet, the text of a
// message box.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
constexpr int kMessageBoxText = 0xFFFF;

constexpr int kWelcomeTemplate = 130;
constexpr int kWizardBitmap = 129;
constexpr DWORD kWaitMs = 30000;

// The welcome page's layout in dialog units: the page, the picture and the welcome text.
constexpr RECT kPageUnits = {0, 0, 340, 190};
constexpr RECT kPictureUnits = {0, 0, 152, 192};
constexpr RECT kWelcomeUnits = {170, 17, 170 + 153, 17 + 101};

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kWaitMs) {
  for (DWORD waited = 0;; waited += 20) {
    if (condition()) return true;
    if (waited >= timeoutMs) return false;
    Sleep(20);
  }
}

// The window's text, asked of the window's own thread as any process would.
std::wstring WindowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) {
    return L"<no answer>";
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &copied);
  text.resize(copied);
  return text;
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// The top-level windows of a process; visible dialogs only, when asked.
struct WindowSearch {
  DWORD processId;
  bool dialogsOnly;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId &&
      (!search->dialogsOnly || (IsWindowVisible(window) && ClassName(window) == L"#32770"))) {
    search->found.push_back(window);
  }
  return TRUE;
}

std::vector<HWND> WindowsOf(DWORD processId, bool dialogsOnly) {
  WindowSearch search{processId, dialogsOnly, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> DialogsOf(DWORD processId) { return WindowsOf(processId, true); }

bool HasWindowsOf(DWORD processId) { return !WindowsOf(processId, false).empty(); }

// The installer as a user starts it, by the shell; ended by force if a check left it running.
class Installer {
 public:
  explicit Installer(const std::wstring& program) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = program.c_str();
    info.nShow = SW_SHOWNORMAL;
    CHECK(ShellExecuteExW(&info));
    process_.Reset(info.hProcess);
    CHECK(process_.IsValid());
    if (process_.IsValid()) id_ = GetProcessId(process_.Get());
  }
  Installer(const Installer&) = delete;
  Installer& operator=(const Installer&) = delete;
  ~Installer() {
    if (process_.IsValid() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.Get(), 99);
      WaitForSingleObject(process_.Get(), kWaitMs);
    }
  }

  DWORD Id() const { return id_; }
  bool Ended(DWORD timeoutMs) const {
    return process_.IsValid() && WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
  }

  // The first visible dialog of the installer that matches, once one appears.
  template <typename Match>
  HWND WaitForDialog(Match match) const {
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND dialog : DialogsOf(id_)) {
        if (match(dialog)) found = dialog;
      }
      return found != nullptr;
    });
    return found;
  }

 private:
  UniqueKernelHandle process_;
  DWORD id_ = 0;
};

bool IsWizard(HWND dialog) { return GetDlgItem(dialog, kNextButton) != nullptr; }

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
// bitmap that holds them.
struct ScreenImage {
  int width = 0;
  int height = 0;
  std::vector<DWORD> pixels;
  HBITMAP bitmap = nullptr;
  ScreenImage() = default;
  ScreenImage(const ScreenImage&) = delete;
  ScreenImage& operator=(const ScreenImage&) = delete;
  ~ScreenImage() {
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
  DWORD At(int x, int y) const { return pixels[y * width + x] & 0xFFFFFF; }
};

void CaptureScreen(const RECT& rect, ScreenImage& image) {
  image.width = rect.right - rect.left;
  image.height = rect.bottom - rect.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = image.width;
  info.bmiHeader.biHeight = -image.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  image.bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, image.bitmap);
  BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  const auto* data = static_cast<const DWORD*>(bits);
  image.pixels.assign(data, data + image.width * image.height);
}

bool SavePng(HBITMAP bitmap, const std::wstring& path) {
  // The platform's PNG encoder.
  const CLSID png = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (Gdiplus::GdiplusStartup(&token, &input, nullptr) != Gdiplus::Ok) return false;
  bool saved = false;
  {
    Gdiplus::Bitmap image(bitmap, nullptr);
    saved = image.Save(path.c_str(), &png, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(token);
  return saved;
}

// Lets the installer's thread finish what it has been sent and posted, and paint.
void LetSettle(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

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
