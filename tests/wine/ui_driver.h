// The UI driver's tools: find the installer's windows, read them and press them with window
// messages, wait for what the installer does, and capture the screen, as any other process
// would. Shared by the Wine programs that drive the real installer.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <objidl.h>

#include <gdiplus.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/unique_handle.h"
#include "tests/wine/wine_check.h"

// Ids in the platform's templates: the wizard buttons of a property sheet, the text of a
// message box.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
constexpr int kMessageBoxText = 0xFFFF;
constexpr DWORD kWaitMs = 30000;

template <typename Condition>
bool WaitUntil(Condition condition, DWORD timeoutMs = kWaitMs) {
  for (DWORD waited = 0;; waited += 20) {
    if (condition()) return true;
    if (waited >= timeoutMs) return false;
    Sleep(20);
  }
}

// The window's text, asked of the window's own thread as any process would.
inline std::wstring WindowText(HWND window) {
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

// The top-level windows of a process; visible dialogs only, when asked.
struct WindowSearch {
  DWORD processId;
  bool dialogsOnly;
  std::vector<HWND> found;
};

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[8] = {};
  GetClassNameW(window, name, 8);
  if (owner == search->processId &&
      (!search->dialogsOnly || (IsWindowVisible(window) && std::wstring(name) == L"#32770"))) {
    search->found.push_back(window);
  }
  return TRUE;
}

inline std::vector<HWND> DialogsOf(DWORD processId, bool dialogsOnly = true) {
  WindowSearch search{processId, dialogsOnly, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

inline bool HasWindowsOf(DWORD processId) { return !DialogsOf(processId, false).empty(); }

// The installer as a user starts it, by the shell, in the given current folder (the test's
// when none); ended by force if a check left it running.
class Installer {
 public:
  explicit Installer(const std::wstring& program, const std::wstring& directory = {}) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = program.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
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
  HANDLE Handle() const { return process_.Get(); }
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

inline bool IsWizard(HWND dialog) { return GetDlgItem(dialog, kNextButton) != nullptr; }

// What the screen shows inside a rectangle, in a bitmap of its own.
struct ScreenImage {
  HBITMAP bitmap = nullptr;
  ScreenImage() = default;
  ScreenImage(const ScreenImage&) = delete;
  ScreenImage& operator=(const ScreenImage&) = delete;
  ~ScreenImage() {
    if (bitmap != nullptr) DeleteObject(bitmap);
  }
};

inline void CaptureScreen(const RECT& rect, ScreenImage& image) {
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  image.bitmap = CreateCompatibleBitmap(screen, rect.right - rect.left, rect.bottom - rect.top);
  HGDIOBJ previous = SelectObject(memory, image.bitmap);
  BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top,
         SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
}

inline bool SavePng(HBITMAP bitmap, const std::wstring& path) {
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
inline void LetSettle(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}
