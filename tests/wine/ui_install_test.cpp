// The Windows build under Wine, in one program: the installer driven through its windows only,
// as a user and the platform see them; the real detector; the driver package.
//   ui_install_test PROGRAM STANDIN SCENARIO...
// PROGRAM is the installer in its shippable folder, STANDIN the stand-in printer UI entry
// point for the prefix's native processor (Windows paths). The scenarios run in the given order in
// one prefix, each with no printer installed and no command recorded.
#include <windows.h>

#include <setupapi.h>
#include <tlhelp32.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/system_folder.h"
#include "ports/supported_devices.h"
#include "ports/usb_port.h"
#include "tests/wine/ports_fixture.h"
#include "tests/wine/standin_log.h"
#include "tests/wine/ui_driver.h"
#include "tests/wine/ui_probe.h"

namespace {

const wchar_t kPrinter[] = L"Velmora针式打印机 系列2";
const wchar_t kManualPrompt[] =
    L"没有检测到与打印机连接的可用USB口，请手动选择端口，并按“完成”按钮安装驱动。";
const wchar_t kSucceeded[] = L"打印机驱动安装成功！";
const wchar_t kFailed[] = L"打印机驱动安装失败！";
const wchar_t kWelcomeText[] =
    L"欢迎使用Velmora打印机驱动程序安装向导。向导会自动获取当前可用的USB端口并自动安装驱动程序。"
    L"如当前可用端口为非USB口，程序将自动进入手动安装模式。";
constexpr int kWelcomeId = 1031;
constexpr int kPromptId = 1032;
constexpr int kListId = 1008;

struct Arguments {
  std::wstring program, standin;
  std::wstring directory;  // the installer's current folder; the test's when empty
};

std::wstring FolderOf(const std::wstring& program) {
  return program.substr(0, program.rfind(L'\\') + 1);
}

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
}

// The folder in which the installer makes the copies of its package: the Windows folder's Temp.
std::wstring StagingPrefix() {
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\Temp\\VelmoraSetup-";
}

// The copies of the package that are there now.
std::vector<std::wstring> StagedCopies() {
  std::vector<std::wstring> found;
  WIN32_FIND_DATAW entry{};
  const HANDLE search = FindFirstFileW((StagingPrefix() + L"*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return found;
  do {
    found.emplace_back(entry.cFileName);
  } while (FindNextFileW(search, &entry));
  FindClose(search);
  return found;
}

// The two command lines of an install on the port, from a copy of the package: the INF of a
// folder of an unpredictable name (32 hexadecimal digits) in the Windows folder's Temp, which is
// gone once the installer has ended.
void CheckCommands(const std::wstring& port) {
  const std::vector<std::wstring> recorded = RecordedCommands();
  const size_t start = recorded.empty() ? 0 : recorded[0].find(L"/f \"") + 4;
  const std::wstring inf =
      recorded.empty() ? L"" : recorded[0].substr(start, recorded[0].find(L'"', start) - start);
  const std::wstring prefix = StagingPrefix();
  CHECK(inf.size() == prefix.size() + 32 + 13 && inf.rfind(prefix, 0) == 0 &&
        inf.find_first_not_of(L"0123456789abcdef", prefix.size()) == prefix.size() + 32 &&
        inf.substr(prefix.size() + 32) == L"\\OEMPRINT.INF");
  const std::wstring printer = kPrinter;
  const std::vector<std::wstring> expected = {
      L"PRINTUI.DLL,PrintUIEntry /if /n \"" + printer + L"\" /f \"" + inf + L"\" /r \"" + port +
          L"\" /m \"" + printer + L"\" ",
      L"PRINTUI.DLL,PrintUIEntry /y /q /n \"" + printer + L"\""};
  CHECK(recorded == expected);
  CHECK(StagedCopies().empty());
  // Started in the system folder, with the system's own environment, not the installer's.
  wchar_t system[MAX_PATH] = {};
  wchar_t windows[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring context = std::wstring(system) + L"|" + windows + L"\\Temp|" + windows;
  CHECK(ReadLines(STANDIN_CONTEXT_PATH) == std::vector<std::wstring>(2, context));
}

std::wstring DetectedPrompt(const std::wstring& port) {
  return L"软件自动检测到与打印机的USB连接\n端口：" + port + L"\n请按“完成”按钮安装驱动。";
}

void PlaceStandin(const Arguments& args) {
  WCHAR target[kSystemPathWidth] = {};
  CHECK(NativeSystemFilePath(L"printui.dll", target));
  CHECK(CopyFileW(args.standin.c_str(), target, FALSE));
}

HWND CurrentPage(HWND wizard) {
  return reinterpret_cast<HWND>(SendMessageW(wizard, PSM_GETCURRENTPAGEHWND, 0, 0));
}

LRESULT PageIndex(HWND wizard) {
  return SendMessageW(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(CurrentPage(wizard)), 0);
}

bool Usable(HWND wizard, int id) {
  HWND button = GetDlgItem(wizard, id);
  return button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button);
}

// Back, Finish and Cancel are all usable (unlocked) or all not (locked).
bool ButtonsAre(HWND wizard, bool usable) {
  return Usable(wizard, kBackButton) == usable && Usable(wizard, kFinishButton) == usable &&
         Usable(wizard, IDCANCEL) == usable;
}

// Presses a wizard button and waits for the page of that index to be current and settled.
void Press(HWND wizard, int button, LRESULT index) {
  PostMessageW(wizard, PSM_PRESSBUTTON, button, 0);
  CHECK(WaitUntil([&] { return PageIndex(wizard) == index; }));
  LetSettle(wizard);
}

std::vector<std::wstring> ListEntries(HWND list) {
  std::vector<std::wstring> entries;
  const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(SendMessageW(list, LB_GETTEXTLEN, i, 0) + 1, L'\0');
    text.resize(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data())));
    entries.push_back(text);
  }
  return entries;
}

std::vector<std::wstring> SpoolerPorts() {
  DWORD needed = 0;
  DWORD count = 0;
  EnumPortsW(nullptr, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  CHECK(EnumPortsW(nullptr, 1, buffer.data(), needed, &needed, &count));
  const auto* records = reinterpret_cast<const PORT_INFO_1W*>(buffer.data());
  std::vector<std::wstring> ports;
  for (DWORD i = 0; i < count; ++i) ports.push_back(records[i].pName);
  return ports;
}

// The installer with its wizard open on the port and install page; with faults, started with
// the fault seam.
struct Session {
  explicit Session(const Arguments& args, const wchar_t* faults = nullptr)
      : installer(args.program, args.directory, faults) {
    wizard = installer.WaitForDialog(IsWizard);
    CHECK(wizard != nullptr);
    if (wizard == nullptr) return;
    CHECK(WaitUntil([&] { return PageIndex(wizard) == 0 && Usable(wizard, kNextButton); }));
    Press(wizard, PSBTN_NEXT, 1);
  }
  HWND Page() const { return CurrentPage(wizard); }
  HWND List() const { return GetDlgItem(Page(), kListId); }
  std::wstring Prompt() const { return WindowText(GetDlgItem(Page(), kPromptId)); }

  // Presses Finish and waits for the page's result box with that caption and text.
  HWND FinishAndWaitForBox(const wchar_t* caption, const wchar_t* text) {
    PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    return WaitForBox(caption, text);
  }
  HWND WaitForBox(const wchar_t* caption, const wchar_t* text) const {
    HWND box = installer.WaitForDialog(
        [&](HWND dialog) { return dialog != wizard && WindowText(dialog) == caption; });
    CHECK(box != nullptr && WindowText(GetDlgItem(box, kMessageBoxText)) == text);
    return box;
  }
  static void Dismiss(HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); }

  // After a success the wizard closes by itself, and the printer is the default one.
  void CheckClosedAfterSuccess() const {
    CHECK(installer.Ended(10000) && installer.ExitCode() == 0);
    wchar_t printer[256] = {};
    DWORD size = 256;
    CHECK(GetDefaultPrinterW(printer, &size) && std::wstring(printer) == kPrinter);
  }

  Installer installer;
  HWND wizard = nullptr;
};

// Moves the pointer to a point of the window's client area, as the mouse would.
void PointAt(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
}

// A detected printer: the page's caption and prompt, then a run during which every way of
// closing the wizard, leaving the page or starting another run is refused, disabled buttons
// or not: OK (Enter with no enabled default button), Finish, Back, going to the welcome page
// (from where Cancel would be asked), the close routes and the session's end. The pointer over
// the wizard is the app-starting one while the command runs, where it stood at Finish and
// where it moves to, and the arrow again while the outcome is shown. One command installs on
// the detected port.
void Detected(const Arguments& args) {
  CHECK(RegisterPrinter(SupportedPrinter()));
  PlaceStandin(args);
  Session session(args);
  CHECK(WindowText(session.Page()) == L"Velmora打印机驱动安装步骤2");
  CHECK(session.Prompt() == DetectedPrompt(L"USB001"));
  CHECK(!IsWindowVisible(session.List()));
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }, 5000));
  const Probe probe(session.installer.Handle());
  CHECK(probe.Loaded());
  const auto cursorIs = [&](DWORD cursor) {
    return WaitUntil([&] { return probe.Call("ProbeCursor") == cursor; }, 3000);
  };
  PointAt(session.Page(), 10, 10);
  CHECK(cursorIs(kArrowCursor));
  SetStandinOption(L"HoldMs", L"4000");
  PostMessageW(session.wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, false); }, 2000));
  CHECK(cursorIs(kAppStartingCursor));
  PointAt(session.Page(), 30, 30);
  LetSettle(session.wizard);
  CHECK(cursorIs(kAppStartingCursor));
  constexpr LPARAM kWelcomeTemplate = 130;
  CHECK(!SendMessageW(session.wizard, PSM_SETCURSEL, 0, 0));
  CHECK(!SendMessageW(session.wizard, PSM_SETCURSELID, 0, kWelcomeTemplate));
  PostMessageW(session.wizard, WM_COMMAND, IDOK, 0);
  for (const int button : {PSBTN_FINISH, PSBTN_BACK, PSBTN_CANCEL}) {
    PostMessageW(session.wizard, PSM_PRESSBUTTON, button, 0);
  }
  PostMessageW(session.wizard, WM_CLOSE, 0, 0);
  PostMessageW(session.wizard, WM_SYSCOMMAND, SC_CLOSE, 0);
  PostMessageW(session.wizard, WM_KEYDOWN, VK_ESCAPE, 0);
  DWORD_PTR endSession = TRUE;
  CHECK(SendMessageTimeoutW(session.wizard, WM_QUERYENDSESSION, 0, 0, SMTO_ABORTIFHUNG, 5000,
                            &endSession) &&
        endSession == FALSE);
  LetSettle(session.wizard);
  CHECK(IsWindow(session.wizard) && PageIndex(session.wizard) == 1);
  CHECK(ButtonsAre(session.wizard, false) && DialogsOf(session.installer.Id()).size() == 1);
  const HWND box = session.WaitForBox(L"OK", kSucceeded);
  PointAt(session.Page(), 10, 10);
  CHECK(cursorIs(kArrowCursor));
  Session::Dismiss(box);
  session.CheckClosedAfterSuccess();
  CheckCommands(L"USB001");
}

// No printer detected: the spooler's ports, LPT1: preselected. Detection runs afresh on every
// activation: a printer connected while the welcome page is shown is found on return, and
// again on the next (the detector let go of it); once it is gone the list is refilled, never
// doubled, with the first port selected when there is no LPT1:. With the stand-in not yet
// placed, Wine's own entry point launches fine and adds nothing: the install fails, and Finish
// may be pressed again. The port the user picks, the last, is the one installed on.
void Manual(const Arguments& args) {
  Session session(args);
  std::vector<std::wstring> entries;
  const auto checkManual = [&](const std::wstring& selected) {
    CHECK(session.Prompt() == kManualPrompt && IsWindowVisible(session.List()));
    entries = ListEntries(session.List());
    CHECK(entries == SpoolerPorts() && entries.size() >= 2);
    CHECK(entries.at(SendMessageW(session.List(), LB_GETCURSEL, 0, 0)) == selected);
  };
  checkManual(L"LPT1:");
  const VirtualPrinter printer = SupportedPrinter();
  for (int pass = 0; pass < 2; ++pass) {
    Press(session.wizard, PSBTN_BACK, 0);
    if (pass == 0) CHECK(RegisterPrinter(printer));
    Press(session.wizard, PSBTN_NEXT, 1);
    CHECK(session.Prompt() == DetectedPrompt(L"USB001") && !IsWindowVisible(session.List()));
  }
  Press(session.wizard, PSBTN_BACK, 0);
  UnregisterPrinter(printer);
  HKEY ports = nullptr;
  CHECK(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports",
                      0, KEY_ALL_ACCESS, &ports) == ERROR_SUCCESS);
  for (const wchar_t* lpt : {L"LPT1:", L"LPT2:", L"LPT3:"}) RegDeleteValueW(ports, lpt);
  RegCloseKey(ports);
  Press(session.wizard, PSBTN_NEXT, 1);
  checkManual(SpoolerPorts().at(0));
  Session::Dismiss(session.FinishAndWaitForBox(L"ERROR", kFailed));
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }));
  CHECK(PageIndex(session.wizard) == 1);
  PlaceStandin(args);
  SendMessageW(session.List(), LB_SETCURSEL, entries.size() - 1, 0);
  Session::Dismiss(session.FinishAndWaitForBox(L"OK", kSucceeded));
  session.CheckClosedAfterSuccess();
  CheckCommands(entries.back());
}

// Writes c over the file's last byte and gives back the byte that was there.
char ReplaceLastByte(const std::wstring& path, char c) {
  std::fstream file(path.c_str(), std::ios::in | std::ios::out | std::ios::binary);
  file.seekg(-1, std::ios::end);
  const char last = static_cast<char>(file.get());
  file.seekp(-1, std::ios::end);
  CHECK(file.put(c).good());
  return last;
}

UniqueFileHandle OpenForWriting(const std::wstring& path) {
  return UniqueFileHandle(CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
}

// Makes the folders, each in the one before.
void MakeFolders(std::initializer_list<const wchar_t*> folders) {
  for (const wchar_t* folder : folders) CHECK(CreateDirectoryW(folder, nullptr));
}

// The installer in a copy of its shippable folder in the prefix, which also holds impostors of
// rundll32.exe (this program, which installs nothing when started so) and winspool.drv and is
// the installer's current folder, as a download folder may (Wine is told to take a spooler
// library beside a program first, as Windows does).
// One byte changed in the GPD or the INF, or a package file that another process holds open
// for writing, fails the installation without any command. The package as built installs
// through the system's own rundll32 with the exact command lines, never through an impostor,
// from a copy: the files beside the program are let go before the command runs.
void Package(const Arguments& given) {
  const std::wstring source = FolderOf(given.program);
  const std::wstring folder = L"C:\\setup\\";
  const std::wstring program = given.program.substr(source.size());
  const Arguments args{folder + program, given.standin, folder};
  const std::vector<std::wstring> files = {folder + L"PrinterDriver\\series2\\OEMPRINT.INF",
                                           folder + L"PrinterDriver\\series2\\VELS2.GPD"};
  MakeFolders({L"C:\\setup", L"C:\\setup\\PrinterDriver", L"C:\\setup\\PrinterDriver\\series2"});
  for (const std::wstring& copy : {files[0], files[1], args.program}) {
    CHECK(CopyFileW((source + copy.substr(folder.size())).c_str(), copy.c_str(), TRUE));
  }
  CHECK(CopyFileW(OwnPath().c_str(), (folder + L"rundll32.exe").c_str(), TRUE));
  CHECK(CopyFileW((FolderOf(OwnPath()) + L"planted\\winspool.drv").c_str(),
                  (folder + L"winspool.drv").c_str(), TRUE));
  CHECK(RegisterPrinter(SupportedPrinter()));
  SetStandinOption(L"HoldMs", L"3000");
  PlaceStandin(args);
  Session session(args);
  const auto finishFails = [&] {
    Session::Dismiss(session.FinishAndWaitForBox(L"ERROR", kFailed));
    CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }));
    CHECK(RecordedCommands().empty() && StagedCopies().empty());
  };
  for (const std::wstring& file : files) {
    // The last line feed becomes a space: still a valid file, but not the one built.
    const char last = ReplaceLastByte(file, ' ');
    finishFails();
    ReplaceLastByte(file, last);
  }
  {
    const UniqueFileHandle writer = OpenForWriting(files.back());
    CHECK(writer.IsValid());
    finishFails();
  }
  PostMessageW(session.wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  CHECK(WaitUntil([] { return !RecordedCommands().empty(); }));
  CHECK(StagedCopies().size() == 1);
  for (const std::wstring& file : files) CHECK(OpenForWriting(file).IsValid());
  HWND box = session.WaitForBox(L"OK", kSucceeded);
  CHECK(StagedCopies().empty());
  Session::Dismiss(box);
  session.CheckClosedAfterSuccess();
  CheckCommands(L"USB001");
}

// The package folder is a link (a junction on Windows) that is re-pointed at a changed package
// once the printer UI has started, before it reads the INF: it reads the copy that was checked,
// and the install succeeds. Installed from the link's folder, the changed INF would offer no
// such model, and the stand-in, as the platform's printer UI, would install nothing.
void Relinked(const Arguments& given) {
  const std::wstring source = FolderOf(given.program);
  const Arguments args{L"C:\\relinked\\" + given.program.substr(source.size()), given.standin, {}};
  MakeFolders({L"C:\\relinked", L"C:\\relinked\\PrinterDriver", L"C:\\checked", L"C:\\changed"});
  CHECK(CopyFileW(given.program.c_str(), args.program.c_str(), TRUE));
  for (const wchar_t* file : {L"\\OEMPRINT.INF", L"\\VELS2.GPD"}) {
    CHECK(CopyFileW((source + L"PrinterDriver\\series2" + file).c_str(),
                    (std::wstring(L"C:\\checked") + file).c_str(), TRUE));
    CHECK(CopyFileW((source + L"PrinterDriver\\series2" + file).c_str(),
                    (std::wstring(L"C:\\changed") + file).c_str(), TRUE));
  }
  std::ofstream(L"C:\\changed\\OEMPRINT.INF", std::ios::binary | std::ios::trunc)
      << "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
         "ClassGuid={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n[Manufacturer]\r\n"
         "Other=Other,NTx86,NTamd64\r\n[Other.NTx86]\r\n\"Other\"=OTHER\r\n"
         "[Other.NTamd64]\r\n\"Other\"=OTHER\r\n[OTHER]\r\nDataFile=VELS2.GPD\r\n";
  CHECK(Relink("relinked/PrinterDriver/series2", "checked"));
  SetStandinOption(L"Relink", L"relinked/PrinterDriver/series2 changed");
  CHECK(RegisterPrinter(SupportedPrinter()));
  PlaceStandin(args);
  Session session(args);
  Session::Dismiss(session.FinishAndWaitForBox(L"OK", kSucceeded));
  session.CheckClosedAfterSuccess();
  CheckCommands(L"USB001");
}

// True while a rundll32 runs, the stand-in in it.
bool CommandRuns() {
  const UniqueFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more;
       more = Process32NextW(snapshot.Get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, L"rundll32.exe") == 0) return true;
  }
  return false;
}

// The two-minute wait runs out at once (injected): the install fails while its command still
// runs, and its copy of the package stays; Finish is refused, with no second command, until
// the command has ended. A command still running when the installer ends leaves its copy to
// be removed at the next restart.
void TimedOut(const Arguments& args) {
  SetStandinOption(L"HoldMs", L"5000");
  CHECK(RegisterPrinter(SupportedPrinter()));
  PlaceStandin(args);
  Session session(args, L"WaitForSingleObject:*");
  for (int attempt = 0; attempt < 2; ++attempt) {
    CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }, 5000));
    Session::Dismiss(session.FinishAndWaitForBox(L"ERROR", kFailed));
    CHECK(WaitUntil([] { return !RecordedCommands().empty(); }));
    CHECK(RecordedCommands().size() == 1 && StagedCopies().size() == 1);
  }
  const std::vector<std::wstring> first = StagedCopies();
  CHECK(WaitUntil([] { return !CommandRuns(); }));
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }, 5000));
  Session::Dismiss(session.FinishAndWaitForBox(L"OK", kSucceeded));
  CHECK(session.installer.Ended(10000) && CommandRuns());
  CHECK(Held(SeamReport()) == std::vector<std::wstring>{L"held module 1"});
  const std::vector<std::wstring> left = StagedCopies();
  CHECK(left.size() == 1 && left != first);
  HKEY key = nullptr;
  wchar_t pending[4096] = {};
  DWORD size = sizeof(pending) - sizeof(wchar_t);
  CHECK(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_READ, &key) == ERROR_SUCCESS &&
        RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(pending), &size) == ERROR_SUCCESS);
  RegCloseKey(key);
  // Each entry a path and an empty target: the copy's files, then its folder.
  std::wstring removals;
  for (const wchar_t* entry = pending; *entry != 0 || entry[1] != 0;
       entry += std::wcslen(entry) + 1) {
    if (*entry != 0) removals += std::wstring(entry) + L"|";
  }
  const std::wstring folder =
      StagingPrefix().substr(0, StagingPrefix().rfind(L'\\') + 1) + left.at(0);
  CHECK(removals.find(folder + L"\\OEMPRINT.INF|") != std::wstring::npos &&
        removals.find(folder + L"|") != std::wstring::npos);
  // What the restart would do, for the scenarios that follow.
  CHECK(WaitUntil([] { return !CommandRuns(); }));
  for (const wchar_t* file : {L"\\OEMPRINT.INF", L"\\VELS2.GPD"})
    DeleteFileW((folder + file).c_str());
  CHECK(RemoveDirectoryW(folder.c_str()));
}

// Finish when the result timer or the worker thread cannot be had, or the package cannot be
// copied (its folder cannot be made, a write fails, its digest cannot be taken): the failure
// box, no command run, no copy left behind, nothing left open but the spooler, and the page as
// it was before Finish, buttons usable and the wizard free to close.
void StartFails(const Arguments& args, const wchar_t* fault) {
  PlaceStandin(args);
  Session session(args, fault);
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }, 5000));
  const std::wstring prompt = session.Prompt();
  Session::Dismiss(session.FinishAndWaitForBox(L"ERROR", kFailed));
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }));
  CHECK(PageIndex(session.wizard) == 1 && session.Prompt() == prompt);
  CHECK(RecordedCommands().empty() && StagedCopies().empty());
  PostMessageW(session.wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  CHECK(session.installer.Ended(10000));
  const std::vector<std::wstring> report = SeamReport();
  CHECK(Held(report) == std::vector<std::wstring>{L"held module 1"});
  // The copy's folder is asked for with its access list: a protected one, full control for
  // SYSTEM and Administrators alone.
  if (std::wstring(fault).rfind(L"CreateDirectoryW", 0) == 0) {
    CHECK(Reported(report, L"CreateDirectoryW D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"));
  }
}

// The spooler cannot be asked (its library does not load, lacks the port query, or the list
// grew between its two calls): the nine fallback ports, LPT1: selected. The library is loaded
// once, however often the page asks, by its full path in the system folder, with its
// dependencies taken from there; it stays loaded while it offers one of its two functions, and
// is freed when it offers neither.
void SpoolerFails(const Arguments& args) {
  const std::vector<std::wstring> fallback = {L"LPT1:", L"LPT2:", L"LPT3:", L"COM1:", L"COM2:",
                                              L"COM3:", L"COM4:", L"COM5:", L"USB001"};
  CHECK(SpoolerPorts() != fallback);
  WCHAR spooler[kSystemPathWidth] = {};
  CHECK(SystemFilePath(L"winspool.drv", spooler));
  const std::pair<const wchar_t*, int> cases[] = {
      {L"LoadLibraryExW:1:126", 0},
      {L"EnumPortsW:2:122", 1},
      {L"EnumPortsW:0", 1},
      {L"EnumPortsW:0,EnumPrintersW:0", 0},
  };
  for (const auto& [faults, kept] : cases) {
    Session session(args, faults);
    CHECK(session.Prompt() == kManualPrompt && ListEntries(session.List()) == fallback);
    CHECK(SendMessageW(session.List(), LB_GETCURSEL, 0, 0) == 0);
    Press(session.wizard, PSBTN_BACK, 0);
    Press(session.wizard, PSBTN_NEXT, 1);
    PostMessageW(session.wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    CHECK(session.installer.Ended(10000));
    const std::vector<std::wstring> report = SeamReport();
    CHECK(Reported(report, L"LoadLibraryExW calls 1") &&
          Reported(report, std::wstring(L"LoadLibraryExW ") + spooler + L" 8"));
    CHECK(Held(report) ==
          (kept ? std::vector<std::wstring>{L"held module 1"} : std::vector<std::wstring>{}));
  }
}

// The welcome page: its caption, text and picture, Next and Cancel only. Cancel ends the
// program, leaving no window and no settings behind.
void Welcome(const Arguments& args) {
  const wchar_t settings[] = L"Software\\Local AppWizard-Generated Applications";
  HKEY key = nullptr;
  CHECK(RegOpenKeyExW(HKEY_CURRENT_USER, settings, 0, KEY_READ, &key) != ERROR_SUCCESS);
  Installer installer(args.program);
  HWND wizard = installer.WaitForDialog(IsWizard);
  CHECK(wizard != nullptr);
  CHECK(WaitUntil([&] { return PageIndex(wizard) == 0 && Usable(wizard, kNextButton); }));
  LetSettle(wizard);
  CHECK(DialogsOf(installer.Id()).size() == 1);
  const HWND page = CurrentPage(wizard);
  CHECK(WindowText(page) == L"Velmora打印机驱动安装步骤1");
  CHECK(WindowText(GetDlgItem(page, kWelcomeId)) == kWelcomeText);
  CHECK(IsWindowVisible(GetDlgItem(wizard, kBackButton)) && !Usable(wizard, kBackButton));
  CHECK(!IsWindowVisible(GetDlgItem(wizard, kFinishButton)) &&
        !IsWindowVisible(GetDlgItem(wizard, IDHELP)) && Usable(wizard, IDCANCEL));
  // The picture, bitmap 129 at its own size of 228 x 312 pixels.
  const HWND picture = FindWindowExW(page, nullptr, L"Static", nullptr);
  RECT rect{};
  GetWindowRect(picture, &rect);
  CHECK(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0);
  CHECK(rect.right - rect.left == 228 && rect.bottom - rect.top == 312);
  PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  CHECK(installer.Ended(10000) && installer.ExitCode() == 0);
  CHECK(RegOpenKeyExW(HKEY_CURRENT_USER, settings, 0, KEY_READ, &key) != ERROR_SUCCESS);
}

// Started from a folder so deep that the driver package's path would not fit (240 characters
// with the backslash; the program's own path still fits), the program says so and ends
// without showing the wizard.
void TooDeep(const Arguments& args) {
  std::wstring folder = L"C:\\deep";
  CHECK(CreateDirectoryW(folder.c_str(), nullptr));
  while (folder.size() < 239) {
    folder += L"\\" + std::wstring(std::min<size_t>(50, 239 - folder.size() - 1), L'd');
    CHECK(CreateDirectoryW(folder.c_str(), nullptr));
  }
  const std::wstring copy = folder + args.program.substr(args.program.rfind(L'\\'));
  CHECK(CopyFileW(args.program.c_str(), copy.c_str(), TRUE));
  Installer installer(copy);
  HWND box = installer.WaitForDialog([](HWND dialog) { return WindowText(dialog) == L"ERROR"; });
  CHECK(WindowText(GetDlgItem(box, kMessageBoxText)) ==
        L"安装程序所在的路径过长，请将安装程序移至较短的路径后重新运行。");
  CHECK(DialogsOf(installer.Id()).size() == 1);
  Session::Dismiss(box);
  CHECK(installer.Ended(10000));
}

// The fields of a line of an INF, its key first.
std::vector<std::wstring> Fields(INFCONTEXT& line) {
  std::vector<std::wstring> fields;
  for (DWORD i = 0; i <= SetupGetFieldCount(&line); ++i) {
    wchar_t text[512] = {};
    SetupGetStringFieldW(&line, i, text, 512, nullptr);
    fields.emplace_back(text);
  }
  return fields;
}

// The value of a key in a section, its fields joined by commas; empty when the key is missing.
std::wstring Value(HINF inf, const wchar_t* section, const wchar_t* key) {
  INFCONTEXT line;
  if (!SetupFindFirstLineW(inf, section, key, &line)) return {};
  const std::vector<std::wstring> fields = Fields(line);
  std::wstring value;
  for (auto field = fields.begin() + 1; field != fields.end(); ++field) {
    value += (value.empty() ? L"" : L",") + *field;
  }
  return value;
}

UINT CALLBACK CollectSource(PVOID context, UINT notification, UINT_PTR paths, UINT_PTR) {
  if (notification == SPFILENOTIFY_QUEUESCAN_EX) {
    static_cast<std::set<std::wstring>*>(context)->insert(
        reinterpret_cast<const FILEPATHS_W*>(paths)->Source);
  }
  return NO_ERROR;
}

// The driver package beside the program, read with the platform's INF functions: a
// package-aware printer-class INF in UTF-16, signed by its catalog; for x86, x64 and Arm64,
// [Manufacturer] leads to one model, named exactly like the printer the installer creates, and
// all three to one install section, built on the core Unidrv driver, which copies the package's
// GPD; [SupportedUsbDevices] lists the installer's supported-device table, row for row.
void DriverPackage(const Arguments& args) {
  const std::wstring series = FolderOf(args.program) + L"PrinterDriver\\series2\\";
  const std::wstring path = series + L"OEMPRINT.INF";
  GUID classGuid{};
  wchar_t className[64] = {};
  CHECK(SetupDiGetINFClassW(path.c_str(), &classGuid, className, 64, nullptr) &&
        std::wstring(className) == L"Printer");
  std::ifstream bytes(path.c_str(), std::ios::binary);
  CHECK(bytes.get() == 0xFF && bytes.get() == 0xFE);
  const HINF inf = SetupOpenInfFileW(path.c_str(), nullptr, INF_STYLE_WIN4, nullptr);
  INFCONTEXT line;
  CHECK(inf != INVALID_HANDLE_VALUE && SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &line));
  if (inf == INVALID_HANDLE_VALUE) return;
  for (const auto& [section, key, value] : {
           std::make_tuple(L"Version", L"Signature", L"$Windows NT$"),
           std::make_tuple(L"Version", L"Provider", L"Velmora"),
           std::make_tuple(L"Version", L"CatalogFile", L"VELS2.CAT"),
           std::make_tuple(L"Version", L"PnpLockdown", L"1"),
           std::make_tuple(L"PrinterPackageInstallation.x86", L"PackageAware", L"TRUE"),
           std::make_tuple(L"PrinterPackageInstallation.amd64", L"PackageAware", L"TRUE"),
           std::make_tuple(L"PrinterPackageInstallation.arm64", L"PackageAware", L"TRUE"),
       }) {
    CHECK(Value(inf, section, key) == value);
  }
  const std::vector<std::wstring> manufacturer = Fields(line);
  std::wstring install;
  for (const wchar_t* decoration : {L"NTx86", L"NTamd64", L"NTarm64"}) {
    CHECK(std::find(manufacturer.begin() + 2, manufacturer.end(), decoration) !=
          manufacturer.end());
    const std::wstring models = manufacturer.at(1) + L"." + decoration;
    CHECK(SetupGetLineCountW(inf, models.c_str()) == 1);
    CHECK(SetupFindFirstLineW(inf, models.c_str(), nullptr, &line));
    const std::vector<std::wstring> model = Fields(line);
    CHECK(model.at(0) == kPrinter && (install.empty() || install == model.at(1)));
    install = model.at(1);
  }
  CHECK(Value(inf, install.c_str(), L"DataFile") == L"VELS2.GPD");
  CHECK(Value(inf, install.c_str(), L"CoreDriverSections") ==
        L"{D20EA372-DD35-4950-9ED8-A6335AFE79F0},UNIDRV.OEM,UNIDRV_DATA");
  // The platform's file queue for the section: the GPD, from the package.
  std::set<std::wstring> copied;
  const HSPFILEQ queue = SetupOpenFileQueue();
  DWORD result = 0;
  CHECK(SetupInstallFilesFromInfSectionW(inf, nullptr, queue, install.c_str(), series.c_str(), 0));
  CHECK(SetupScanFileQueueW(queue, SPQ_SCAN_USE_CALLBACKEX, nullptr, CollectSource, &copied,
                            &result));
  SetupCloseFileQueue(queue);
  CHECK(copied == std::set<std::wstring>{series + L"VELS2.GPD"});
  std::vector<std::wstring> table, listed;
  for (const SupportedDevice& device : SupportedDeviceTable) {
    table.push_back(std::wstring(L"USB\\VID_") + device.Vid + L"&PID_" + device.Pid);
  }
  for (BOOL more = SetupFindFirstLineW(inf, L"SupportedUsbDevices", nullptr, &line); more;
       more = SetupFindNextLine(&line, &line)) {
    listed.push_back(Fields(line).back());
  }
  CHECK(listed == table);
  SetupCloseInfFile(inf);
}

// The answer of the detector (a new one when none is given) and the port it names: "1 USB012",
// or "0 -" with the name untouched.
std::wstring Detect(CUSBPort* given = nullptr) {
  CUSBPort fresh;
  PortNameText port;
  CHECK(port.Assign(L"-"));
  const int found = (given != nullptr ? given : &fresh)->GetPortName(port);
  return std::to_wstring(found) + L" " + port.c_str();
}

// Held alone: even a reader that shares everything is refused.
bool IsHeld(const VirtualPrinter& printer) {
  const UniqueFileHandle probe(CreateFileW(DevicePathOf(printer).c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
  return !probe.IsValid() && GetLastError() == ERROR_SHARING_VIOLATION;
}

// The real detector against Wine's SetupAPI, registry and device files. Listed before the
// supported printer (Wine lists them by entry name): an entry of the same device no longer
// linked, an unsupported printer, and a supported one that cannot be opened, all passed over.
// The supported printer is found on the port its number names (here a text), and held alone
// until the detector ends, also when asked again; when another program holds it, nothing is.
void Discovery(const Arguments&) {
  const VirtualPrinter supported{L"VID_D7A5&PID_10A1", L"5&1c0ffee&0&1", 12, true};
  VirtualPrinter stale{L"VID_D7A5&PID_10A1", L"5&1c0ffee&0&0", 7};
  stale.linked = false;
  const VirtualPrinter unsupported{L"VID_B3F1&PID_0001", L"5&1c0ffee&0&2", 2};
  VirtualPrinter unopenable{L"VID_B3F1&PID_10B4", L"5&1c0ffee&0&3", 3};
  unopenable.openable = false;
  CHECK(Detect() == L"0 -");
  for (const VirtualPrinter& printer : {stale, unsupported, unopenable, supported}) {
    CHECK(RegisterPrinter(printer));
  }
  {
    CUSBPort detector;
    CHECK(Detect(&detector) == L"1 USB012");
    CHECK(!IsHeld(unsupported) && IsHeld(supported));
    CHECK(Detect(&detector) == L"1 USB012");
  }
  CHECK(!IsHeld(supported));
  const UniqueFileHandle other(CreateFileW(DevicePathOf(supported).c_str(),
                                           GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                           0, nullptr));
  CHECK(other.IsValid());
  CHECK(Detect() == L"0 -");
  for (const VirtualPrinter& printer : {stale, unsupported, unopenable, supported}) {
    UnregisterPrinter(printer);
  }
}

// No printer installed and no command recorded.
void ForgetInstall() {
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  if (OpenPrinterW(const_cast<wchar_t*>(kPrinter), &printer, &access)) {
    CHECK(DeletePrinter(printer));
    ClosePrinter(printer);
  }
  DeleteFileW(STANDIN_LOG_PATH);
  DeleteFileW(STANDIN_CONTEXT_PATH);
}

struct Scenario {
  const wchar_t* name;
  void (*run)(const Arguments&);
};

const Scenario kScenarios[] = {
    {L"driver-package", DriverPackage},
    {L"discovery", Discovery},
    {L"welcome", Welcome},
    {L"too-deep", TooDeep},
    {L"detected", Detected},
    {L"manual", Manual},
    {L"package", Package},
    {L"relinked", Relinked},
    {L"timed-out", TimedOut},
    {L"stage-folder-fails",
     [](const Arguments& args) { StartFails(args, L"CreateDirectoryW:1:5"); }},
    {L"stage-write-fails", [](const Arguments& args) { StartFails(args, L"WriteFile:1:112"); }},
    {L"stage-hash-fails", [](const Arguments& args) { StartFails(args, L"CryptCreateHash:1"); }},
    {L"timer-fails", [](const Arguments& args) { StartFails(args, L"SetTimer:1:8"); }},
    {L"thread-fails", [](const Arguments& args) { StartFails(args, L"CreateThread:1:8"); }},
    {L"spooler-fails", SpoolerFails},
};

}  // namespace

// The fault seam's own scenarios (seam_scenarios.cpp); false for a name that is none of them.
bool RunSeamScenario(const std::wstring& name, const std::wstring& program);

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const Arguments args{argv[1], argv[2], {}};
  for (int i = 3; i < argc; ++i) {
    const Scenario* scenario =
        std::find_if(std::begin(kScenarios), std::end(kScenarios),
                     [&](const Scenario& s) { return s.name == std::wstring(argv[i]); });
    const int failedBefore = failedChecks;
    ForgetInstall();
    if (scenario != std::end(kScenarios)) {
      scenario->run(args);
    } else if (!RunSeamScenario(argv[i], args.program)) {
      return 2;
    }
    SetStandinOption(L"HoldMs", nullptr);
    SetStandinOption(L"Relink", nullptr);
    std::wprintf(L"%ls: %ls\n", argv[i], failedChecks == failedBefore ? L"passed" : L"FAILED");
  }
  return failedChecks == 0 ? 0 : 1;
}
