// The user's journeys through the wizard, and the install's defences against what an
// unelevated program of the same user can change: the program's folder, the package, links.
#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <fstream>

#include "run/virtual_printer.h"
#include "tests/wine/scenario.h"
#include "tests/wine/standin_log.h"
#include "tests/wine/ui_probe.h"

namespace {

std::wstring OwnPath() {
  wchar_t path[MAX_PATH] = {};
  return std::wstring(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
}

// The welcome page: its caption and text, Next and Cancel only (its picture: ui_scaling_test).
// Cancel ends the program, leaving no window and no settings behind.
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
  CHECK(WindowText(GetDlgItem(page, IDC_WELCOME)) ==
        L"欢迎使用Velmora打印机驱动程序安装向导。向导会自动获取当前可用的USB端口并自动安装驱动程序"
        L"。如当前可用端口为非USB口，程序将自动进入手动安装模式。");
  CHECK(IsWindowVisible(GetDlgItem(wizard, kBackButton)) && !Usable(wizard, kBackButton));
  CHECK(!IsWindowVisible(GetDlgItem(wizard, kFinishButton)) &&
        !IsWindowVisible(GetDlgItem(wizard, IDHELP)) && Usable(wizard, IDCANCEL));
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
  const HWND box = WaitForBox(installer, L"ERROR", kPathTooLong);
  CHECK(DialogsOf(installer.Id()).size() == 1);
  Dismiss(box);
  CHECK(installer.Ended(10000));
}

// Moves the pointer to a point of the window's client area, as the mouse would.
void PointAt(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  SetCursorPos(point.x, point.y);
}

// A detected printer: the page's caption, no list. During the run every way of closing the
// wizard, leaving the page or starting another run is refused, disabled buttons or not: OK
// (Enter with no enabled default button), Finish, Back, going to the welcome page (from where
// Cancel would be asked), the close routes and the session's end. The pointer over the wizard
// is the app-starting one while the command runs, where it stood at Finish and where it moves
// to, and the arrow again while the outcome is shown.
void RefusedWhileBusy(Session& session, const Arguments&) {
  CHECK(WindowText(session.Page()) == L"Velmora打印机驱动安装步骤2");
  CHECK(!IsWindowVisible(session.List()));
  const Probe probe(session.installer.Handle());
  CHECK(probe.Loaded());
  const auto cursorIs = [&](DWORD cursor) {
    return WaitUntil([&] { return probe.Call("ProbeCursor") == cursor; }, 3000);
  };
  PointAt(session.Page(), 10, 10);
  CHECK(cursorIs(kArrowCursor));
  SetStandinOption(L"HoldMs", L"4000");
  session.Finish();
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, false); }, 2000));
  CHECK(cursorIs(kAppStartingCursor));
  PointAt(session.Page(), 30, 30);
  LetSettle(session.wizard);
  CHECK(cursorIs(kAppStartingCursor));
  CHECK(!SendMessageW(session.wizard, PSM_SETCURSEL, 0, 0));
  CHECK(!SendMessageW(session.wizard, PSM_SETCURSELID, 0, IDD_STEP1));
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
  WaitForBox(session.installer, L"OK", kSucceeded);
  PointAt(session.Page(), 10, 10);
  CHECK(cursorIs(kArrowCursor));
}

// No printer attached: the spooler's ports, LPT1: preselected. Detection runs afresh on every
// activation: a printer connected while the welcome page is shown is found on return, and
// again on the next (the detector let go of it); once it is gone the list is refilled, never
// doubled, with the first port selected when there is no LPT1:. With the stand-in not yet
// placed, Wine's own entry point launches fine and adds nothing: the install fails, and Finish
// may be pressed again, on the port the user picks.
void ManualChoice(Session& session, const Arguments& args) {
  const auto checkManual = [&](const std::wstring& selected) {
    CHECK(session.Prompt() == kManualPrompt && IsWindowVisible(session.List()));
    const std::vector<std::wstring> entries = ListEntries(session.List());
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
  session.Finish();
  Dismiss(WaitForBox(session.installer, L"ERROR", kFailed));
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }));
  CHECK(PageIndex(session.wizard) == 1 && RecordedCommands().empty());
  PlaceStandin(args);
  CHECK(SendMessageW(session.List(), LB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(L"COM2:")) > 0);
  session.Finish();
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

const wchar_t kSetup[] = L"C:\\setup\\";
const wchar_t* const kPackageFiles[] = {L"C:\\setup\\PrinterDriver\\series2\\OEMPRINT.INF",
                                        L"C:\\setup\\PrinterDriver\\series2\\VELS2.GPD"};

// The installer in a copy of its shippable folder in the prefix, which also holds impostors of
// rundll32.exe (this program, which installs nothing when started so) and winspool.drv and is
// the installer's current folder, as a download folder may (Wine is told to take a spooler
// library beside a program first, as Windows does).
void PlantedFolder(Arguments& args) {
  const std::wstring source = FolderOf(args.program);
  args.program = kSetup + args.program.substr(source.size());
  args.directory = kSetup;
  MakeFolders({L"C:\\setup", L"C:\\setup\\PrinterDriver", L"C:\\setup\\PrinterDriver\\series2"});
  for (const std::wstring copy : {kPackageFiles[0], kPackageFiles[1], args.program.c_str()}) {
    CHECK(CopyFileW((source + copy.substr(std::wcslen(kSetup))).c_str(), copy.c_str(), TRUE));
  }
  CHECK(CopyFileW(OwnPath().c_str(), (std::wstring(kSetup) + L"rundll32.exe").c_str(), TRUE));
  CHECK(CopyFileW((FolderOf(OwnPath()) + L"planted\\winspool.drv").c_str(),
                  (std::wstring(kSetup) + L"winspool.drv").c_str(), TRUE));
  SetStandinOption(L"HoldMs", L"3000");
}

// One byte changed in the GPD or the INF, or a package file that another process holds open
// for writing, fails the installation without any command. The package as built installs
// through the system's own rundll32, never through an impostor, from a copy: the files beside
// the program are let go before the command runs.
void ChangedPackage(Session& session, const Arguments&) {
  const auto finishFails = [&] {
    session.Finish();
    Dismiss(WaitForBox(session.installer, L"ERROR", kFailed));
    CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }));
    CHECK(RecordedCommands().empty() && StagedCopies().empty());
  };
  for (const wchar_t* file : kPackageFiles) {
    // The last line feed becomes a space: still a valid file, but not the one built.
    const char last = ReplaceLastByte(file, ' ');
    finishFails();
    ReplaceLastByte(file, last);
  }
  {
    const UniqueFileHandle writer = OpenForWriting(kPackageFiles[1]);
    CHECK(writer.IsValid());
    finishFails();
  }
  session.Finish();
  CHECK(WaitUntil([] { return !RecordedCommands().empty(); }));
  CHECK(StagedCopies().size() == 1);
  for (const wchar_t* file : kPackageFiles) CHECK(OpenForWriting(file).IsValid());
}

// The package folder is a link (a junction on Windows) that is re-pointed at a changed package
// once the printer UI has started, before it reads the INF: it reads the copy that was checked,
// and the install succeeds. Installed from the link's folder, the changed INF would offer no
// such model, and the stand-in, as the platform's printer UI, would install nothing.
void LinkedPackage(Arguments& args) {
  const std::wstring source = FolderOf(args.program);
  const std::wstring name = args.program.substr(source.size());
  args.program = L"C:\\relinked\\" + name;
  MakeFolders({L"C:\\relinked", L"C:\\relinked\\PrinterDriver", L"C:\\checked", L"C:\\changed"});
  CHECK(CopyFileW((source + name).c_str(), args.program.c_str(), TRUE));
  for (const std::wstring folder : {L"C:\\checked", L"C:\\changed"}) {
    for (const wchar_t* file : {L"\\OEMPRINT.INF", L"\\VELS2.GPD"}) {
      CHECK(CopyFileW((source + L"PrinterDriver\\series2" + file).c_str(), (folder + file).c_str(),
                      TRUE));
    }
  }
  std::ofstream(L"C:\\changed\\OEMPRINT.INF", std::ios::binary | std::ios::trunc)
      << "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\n"
         "ClassGuid={4D36E979-E325-11CE-BFC1-08002BE10318}\r\n[Manufacturer]\r\n"
         "Other=Other,NTx86,NTamd64\r\n[Other.NTx86]\r\n\"Other\"=OTHER\r\n"
         "[Other.NTamd64]\r\n\"Other\"=OTHER\r\n[OTHER]\r\nDataFile=VELS2.GPD\r\n";
  CHECK(Relink("relinked/PrinterDriver/series2", "checked"));
  SetStandinOption(L"Relink", L"relinked/PrinterDriver/series2 changed");
}

// A printer of the user's whose name is the start of the one installed; Wine's own printer UI
// entry point, not yet replaced by the stand-in, installs nothing: the install fails.
void ShorterNamedPrinter(Arguments&) { AddWinePrinter(kShorterName, L"LPT1:", kPrinterName); }

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
  Session session(args.program, args.directory, L"WaitForSingleObject:*");
  for (int attempt = 0; attempt < 2; ++attempt) {
    CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }, 5000));
    session.Finish();
    Dismiss(WaitForBox(session.installer, L"ERROR", kFailed));
    CHECK(WaitUntil([] { return !RecordedCommands().empty(); }));
    CHECK(RecordedCommands().size() == 1 && StagedCopies().size() == 1);
  }
  const std::vector<std::wstring> first = StagedCopies();
  CHECK(WaitUntil([] { return !CommandRuns(); }));
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }, 5000));
  session.Finish();
  Dismiss(WaitForBox(session.installer, L"OK", kSucceeded));
  CHECK(session.installer.Ended(10000) && CommandRuns());
  CHECK(Held(SeamReport()) == std::vector<std::wstring>{L"held module 1"});
  const std::vector<std::wstring> left = StagedCopies();
  CHECK(left.size() == 1 && left != first);
  wchar_t pending[4096] = {};
  DWORD size = sizeof(pending) - sizeof(wchar_t);
  CHECK(RegGetValueW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                     L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, pending,
                     &size) == ERROR_SUCCESS);
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
  for (const wchar_t* file : {L"\\OEMPRINT.INF", L"\\VELS2.GPD"}) {
    DeleteFileW((folder + file).c_str());
  }
  CHECK(RemoveDirectoryW(folder.c_str()));
}

}  // namespace

// With the seam, how long the install waits: up to two minutes for the command, half a second
// before the presence check, a tenth before the success is published.
const std::vector<const wchar_t*> kWaits = {L"WaitForSingleObject 120000", L"Sleep 500",
                                            L"Sleep 100"};

const Scenarios& WizardScenarios() {
  static const Scenarios scenarios = {
      {L"welcome", Welcome},
      {L"too-deep", TooDeep},
      {L"detected", nullptr, kPrinter | kStandin, nullptr, nullptr, RefusedWhileBusy, kSucceeded,
       L"USB001"},
      {L"manual", nullptr, kNothing, nullptr, nullptr, ManualChoice, kSucceeded, L"COM2:"},
      {L"package", nullptr, kPrinter | kStandin, PlantedFolder, nullptr, ChangedPackage, kSucceeded,
       L"USB001"},
      {L"shorter-name", nullptr, kPrinter, ShorterNamedPrinter, nullptr, nullptr, kFailed},
      {L"relinked", nullptr, kPrinter | kStandin, LinkedPackage, L"", nullptr, kSucceeded,
       L"USB001", kWaits},
      {L"timed-out", TimedOut},
  };
  return scenarios;
}
