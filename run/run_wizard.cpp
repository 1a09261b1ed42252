// The run command's Windows side, run under Wine in the run's prefix (scripts/run.sh), where
// the command has put the stand-in printer UI entry point in the system folder. It makes the
// prefix a machine on which the installer can do its job: a supported USB printer attached
// (the Wine tests' virtual printer), unless the run is manual, and Wine told to prefer the
// stand-in to its own entry point, which installs nothing. It then starts the installer from
// its shippable folder, as a double click does, and either waits while the person clicks
// through it (watch) or presses Next, Finish and OK itself, saving a screenshot of each step
// (drive). Last it lists the prefix's printers and its default printer.
//   run_wizard watch|drive detected|manual PROGRAM SHOTS
// PROGRAM and SHOTS (a folder) are Windows paths. Exits 1 after naming the step that failed.
#include <windows.h>

#include <winspool.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/port_choice.h"
#include "run/screenshot.h"
#include "run/virtual_printer.h"
#include "run/window_driver.h"

namespace {

struct Run {
  bool drive;
  bool manual;
  std::wstring program, shots;
};

// Text for the person at the terminal: UTF-8 into a pipe or file, as it is, to a console.
void Say(const std::wstring& text) {
  const std::wstring line = text + L"\n";
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  DWORD mode = 0;
  if (GetConsoleMode(out, &mode)) {
    WriteConsoleW(out, line.c_str(), static_cast<DWORD>(line.size()), &written, nullptr);
    return;
  }
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 1, '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size() - 1), &written, nullptr);
}

// Names the step that failed and why; the run's result is then 1.
bool Fail(const wchar_t* step, const std::wstring& why) {
  Say(std::wstring(L"run: step \"") + step + L"\" failed: " + why);
  return false;
}

// Saves what the screen shows inside the windows given (the wizard, and a box over it).
bool Shoot(const Run& run, const wchar_t* name, std::initializer_list<HWND> windows) {
  RECT all{};
  for (HWND window : windows) {
    RECT rect{};
    GetWindowRect(window, &rect);
    UnionRect(&all, &all, &rect);
  }
  const std::wstring path = run.shots + L"\\" + name;
  if (!SaveScreenPng(all, path)) return false;
  Say(L"  screenshot " + path);
  return true;
}

const wchar_t* ExpectedPort(const Run& run) { return run.manual ? kPreselectedPort : L"USB001"; }

bool SetUpPrefix(const Run& run) {
  const wchar_t step[] = L"set up the prefix";
  if (!run.manual && !RegisterPrinter(SupportedPrinter())) {
    return Fail(step, L"cannot attach the virtual USB printer");
  }
  // Wine loads the printui.dll found in the system folder only when told to prefer it.
  HKEY key = nullptr;
  const wchar_t preference[] = L"native,builtin";
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\DllOverrides", 0, nullptr, 0,
                      KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return Fail(step, L"cannot open Wine's DLL preferences");
  }
  const UniqueRegistryKey overrides(key);
  if (RegSetValueExW(key, L"printui", 0, REG_SZ, reinterpret_cast<const BYTE*>(preference),
                     sizeof(preference)) != ERROR_SUCCESS) {
    return Fail(step, L"cannot make Wine prefer the stand-in");
  }
  Say(run.manual ? L"  no printer attached" : L"  a supported USB printer attached (USB001)");
  return true;
}

// Presses a wizard button; true once the page of that index is current and settled.
bool Reached(HWND wizard, int button, LRESULT index) {
  PostMessageW(wizard, PSM_PRESSBUTTON, button, 0);
  const bool arrived = WaitUntil([&] { return PageIndex(wizard) == index; });
  LetSettle(wizard);
  return arrived;
}

bool ShowsPort(const Run& run, HWND page) {
  const std::wstring prompt = WindowText(GetDlgItem(page, IDC_PROMPT));
  if (run.manual) {
    HWND list = GetDlgItem(page, IDC_PORT_LIST);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    wchar_t entry[256] = {};
    if (selected == LB_ERR || SendMessageW(list, LB_GETTEXTLEN, selected, 0) >= 256) return false;
    SendMessageW(list, LB_GETTEXT, selected, reinterpret_cast<LPARAM>(entry));
    return prompt == kManualPrompt && std::wstring(entry) == kPreselectedPort;
  }
  std::wstring expected = kDetectedPromptFormat;
  expected.replace(expected.find(L"%s"), 2, L"USB001");
  return prompt == expected;
}

// Next, Finish and OK, as the person would press them.
bool Drive(const Run& run, const Installer& installer, HWND wizard) {
  if (!Reached(wizard, PSBTN_NEXT, 1) || !ShowsPort(run, CurrentPage(wizard))) {
    return Fail(L"Next", std::wstring(L"the port page does not show ") +
                             (run.manual ? L"the manual list with LPT1: chosen" : L"USB001"));
  }
  Say(std::wstring(L"Next: the port page shows ") +
      (run.manual ? L"the spooler's ports, LPT1: chosen" : L"the detected printer on USB001"));
  if (!Shoot(run, run.manual ? L"2-manual.png" : L"2-detected.png", {wizard})) {
    return Fail(L"Next", L"cannot save the screenshot");
  }
  PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  HWND box = installer.WaitForDialog([&](HWND dialog) { return dialog != wizard; });
  if (box == nullptr) return Fail(L"Finish", L"no result box appeared");
  LetSettle(box);
  const std::wstring text = WindowText(GetDlgItem(box, kMessageBoxText));
  if (WindowText(box) != kSuccessCaption || text != kInstallSucceededText) {
    Shoot(run, L"3-failure.png", {wizard, box});
    return Fail(L"Finish", L"the installer reported \"" + text + L"\"");
  }
  Say(L"Finish: the installer reports \"" + text + L"\"");
  if (!Shoot(run, L"3-success.png", {wizard, box})) {
    return Fail(L"Finish", L"cannot save the screenshot");
  }
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  if (!installer.Ended(10000) || installer.ExitCode() != 0) {
    return Fail(L"OK", L"the installer did not end by itself after the success box");
  }
  Say(L"OK: the wizard closed and the installer ended");
  return true;
}

// Lists the prefix's printers and the default printer; true when the printer is there, on the
// expected port, and is the default.
bool Summary(const Run& run) {
  Say(L"The prefix's printers:");
  DWORD needed = 0;
  DWORD count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  if (needed == 0 ||
      !EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.data(), needed, &needed, &count)) {
    count = 0;
  }
  bool installed = false;
  const auto* printers = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) {
    const std::wstring name = printers[i].pPrinterName;
    const std::wstring port = printers[i].pPortName;
    Say(L"  " + name + L"  on " + port + L", driver " + printers[i].pDriverName);
    installed = installed || (name == kPrinterModelName && port == ExpectedPort(run));
  }
  if (count == 0) Say(L"  (none)");
  wchar_t current[256] = {};
  DWORD size = 256;
  const bool hasDefault = GetDefaultPrinterW(current, &size) != FALSE;
  Say(std::wstring(L"The default printer: ") + (hasDefault ? current : L"(none)"));
  if (!installed) {
    return Fail(L"check the printer",
                std::wstring(L"no printer \"") + kPrinterModelName + L"\" on " + ExpectedPort(run));
  }
  if (!hasDefault || std::wstring(current) != kPrinterModelName) {
    return Fail(L"check the printer", L"the printer is not the default printer");
  }
  return true;
}

bool RunInstaller(const Run& run) {
  if (!SetUpPrefix(run)) return false;
  const Installer installer(run.program);
  HWND wizard = installer.WaitForDialog(IsWizard);
  if (wizard == nullptr ||
      !WaitUntil([&] { return IsWindowEnabled(GetDlgItem(wizard, kNextButton)) != FALSE; })) {
    return Fail(L"start the installer", L"no wizard appeared");
  }
  LetSettle(wizard);
  Say(L"Start: the wizard shows its welcome page");
  if (run.drive && !Shoot(run, L"1-welcome.png", {wizard})) {
    return Fail(L"start the installer", L"cannot save the screenshot");
  }
  if (run.drive) return Drive(run, installer, wizard);
  Say(L"Click Next, then Finish, then OK in the box that reports the outcome.");
  WaitForSingleObject(installer.Handle(), INFINITE);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc == 5 ? argv[1] : L"";
  const std::wstring road = argc == 5 ? argv[2] : L"";
  if ((mode != L"watch" && mode != L"drive") || (road != L"detected" && road != L"manual")) {
    std::fprintf(stderr, "usage: run_wizard watch|drive detected|manual PROGRAM SHOTS\n");
    return 2;
  }
  const Run run{mode == L"drive", road == L"manual", argv[3], argv[4]};
  return RunInstaller(run) && Summary(run) ? 0 : 1;
}
