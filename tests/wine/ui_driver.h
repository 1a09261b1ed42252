// The Wine tests' side of the window tools (run/window_driver.h): checked steps through the
// wizard, its message boxes, and the installer started with the fault seam.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "run/window_driver.h"
#include "tests/wine/fault_seam.h"
#include "tests/wine/wine_check.h"

// The installer started suspended, the fault seam loaded before its first instruction with
// those faults (fault_seam.h).
inline HANDLE StartWithSeam(const std::wstring& program, const std::wstring& directory,
                            const wchar_t* faults) {
  DeleteFileW(SEAM_REPORT_PATH);
  SetEnvironmentVariableW(L"INSTALLER_FAULT", faults);
  std::wstring line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started{};
  CHECK(CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                       nullptr, directory.empty() ? nullptr : directory.c_str(), &startup,
                       &started));
  SetEnvironmentVariableW(L"INSTALLER_FAULT", nullptr);
  const UniqueKernelHandle thread(started.hThread);
  CHECK(QueueSeam(started.hProcess, started.hThread));
  ResumeThread(started.hThread);
  return started.hProcess;
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
      : installer(faults != nullptr ? Installer(StartWithSeam(program, directory, faults))
                                    : Installer(program, directory)) {
    CHECK(installer.Started());
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
