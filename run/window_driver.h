// Tools to drive the installer through its windows as any other process would: find its
// windows, read them, press them with window messages, and wait for what it does. Used by the
// run command, the benchmarks and the Wine tests (tests/wine/ui_driver.h).
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "platform/unique_handle.h"
#include "res/resource.h"

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

// The visible dialogs of a process.
using DialogSearch = std::pair<DWORD, std::vector<HWND>>;
inline BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
  auto& [processId, found] = *reinterpret_cast<DialogSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[8] = {};
  GetClassNameW(window, name, 8);
  if (owner == processId && IsWindowVisible(window) && std::wcscmp(name, L"#32770") == 0) {
    found.push_back(window);
  }
  return TRUE;
}

inline std::vector<HWND> DialogsOf(DWORD processId) {
  DialogSearch search{processId, {}};
  EnumWindows(CollectDialog, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

// The installer as a user starts it, by the shell, in the given current folder (the test's
// when none), or one already started otherwise; ended by force if it was left running.
class Installer {
 public:
  explicit Installer(const std::wstring& program, const std::wstring& directory = {}) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = program.c_str();
    info.lpDirectory = directory.empty() ? nullptr : directory.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info)) Adopt(info.hProcess);
  }
  explicit Installer(HANDLE process) { Adopt(process); }
  ~Installer() {
    if (process_.IsValid() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.Get(), 99);
      WaitForSingleObject(process_.Get(), kWaitMs);
    }
  }

  bool Started() const { return process_.IsValid(); }
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
  void Adopt(HANDLE process) {
    process_.Reset(process);
    if (process_.IsValid()) id_ = GetProcessId(process);
  }

  UniqueKernelHandle process_;
  DWORD id_ = 0;
};

inline bool IsWizard(HWND dialog) { return GetDlgItem(dialog, kNextButton) != nullptr; }

inline HWND CurrentPage(HWND wizard) {
  return reinterpret_cast<HWND>(SendMessageW(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
}

inline LRESULT PageIndex(HWND wizard) {
  return SendMessageW(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(CurrentPage(wizard)), 0);
}

// Lets the installer's thread finish what it has been sent and posted, and paint.
inline void LetSettle(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}
