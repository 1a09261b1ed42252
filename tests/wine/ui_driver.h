// The UI driver's tools: find the installer's windows, read them and press them with window
// messages, and wait for what the installer does, as any other process would. Shared by the
// Wine programs that drive the real installer.
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
#include "tests/wine/fault_seam.h"
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
// when none); ended by force if a check left it running. With faults, it is started suspended
// and the fault seam loaded before its first instruction, with those faults (fault_seam.h).
class Installer {
 public:
  explicit Installer(const std::wstring& program, const std::wstring& directory = {},
                     const wchar_t* faults = nullptr) {
    const wchar_t* folder = directory.empty() ? nullptr : directory.c_str();
    if (faults != nullptr) {
      StartWithSeam(program, folder, faults);
    } else {
      SHELLEXECUTEINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = SEE_MASK_NOCLOSEPROCESS;
      info.lpFile = program.c_str();
      info.lpDirectory = folder;
      info.nShow = SW_SHOWNORMAL;
      CHECK(ShellExecuteExW(&info));
      process_.Reset(info.hProcess);
    }
    CHECK(process_.IsValid());
    if (process_.IsValid()) id_ = GetProcessId(process_.Get());
  }
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
  void StartWithSeam(const std::wstring& program, const wchar_t* folder, const wchar_t* faults) {
    DeleteFileW(SEAM_REPORT_PATH);
    SetEnvironmentVariableW(L"INSTALLER_FAULT", faults);
    std::wstring line = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    CHECK(CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                         nullptr, folder, &startup, &started));
    SetEnvironmentVariableW(L"INSTALLER_FAULT", nullptr);
    const UniqueKernelHandle thread(started.hThread);
    process_.Reset(started.hProcess);
    CHECK(QueueSeam(started.hProcess, started.hThread));
    ResumeThread(started.hThread);
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

inline bool Usable(HWND wizard, int id) {
  HWND button = GetDlgItem(wizard, id);
  return button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button);
}

// Back, Finish and Cancel are all usable (unlocked) or all not (locked).
inline bool ButtonsAre(HWND wizard, bool usable) {
  return Usable(wizard, kBackButton) == usable && Usable(wizard, kFinishButton) == usable &&
         Usable(wizard, IDCANCEL) == usable;
}

// Lets the installer's thread finish what it has been sent and posted, and paint.
inline void LetSettle(HWND window) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  Sleep(300);
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
}

// Presses a wizard button and waits for the page of that index to be current and settled.
inline void Press(HWND wizard, int button, LRESULT index) {
  PostMessageW(wizard, PSM_PRESSBUTTON, button, 0);
  CHECK(WaitUntil([&] { return PageIndex(wizard) == index; }));
  LetSettle(wizard);
}

inline std::vector<std::wstring> ListEntries(HWND list) {
  std::vector<std::wstring> entries;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
    text.resize(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data())));
    entries.push_back(text);
  }
  return entries;
}

// The installer's message box of that caption and text, once it shows.
inline HWND WaitForBox(const Installer& installer, const wchar_t* caption, const wchar_t* text) {
  HWND box = installer.WaitForDialog([&](HWND dialog) {
    return WindowText(dialog) == caption && WindowText(GetDlgItem(dialog, kMessageBoxText)) == text;
  });
  CHECK(box != nullptr);
  return box;
}

inline void Dismiss(HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); }

// The installer with its wizard open on the port and install page; with faults, started with
// the fault seam.
struct Session {
  Session(const std::wstring& program, const std::wstring& directory, const wchar_t* faults)
      : installer(program, directory, faults) {
    wizard = installer.WaitForDialog(IsWizard);
    CHECK(wizard != nullptr);
    if (wizard == nullptr) return;
    CHECK(WaitUntil([&] { return PageIndex(wizard) == 0 && Usable(wizard, kNextButton); }));
    Press(wizard, PSBTN_NEXT, 1);
  }
  HWND Page() const { return CurrentPage(wizard); }
  HWND List() const { return GetDlgItem(Page(), IDC_PORT_LIST); }
  std::wstring Prompt() const { return WindowText(GetDlgItem(Page(), IDC_PROMPT)); }
  void Finish() const { PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0); }

  Installer installer;
  HWND wizard = nullptr;
};
