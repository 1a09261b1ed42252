// The Windows build under Wine, in one program: the installer driven through its windows only,
// as a user and the platform see them; the real detector; the driver package.
//   wine_scenarios PROGRAM STANDIN SCENARIO...
// PROGRAM is the installer in its shippable folder, STANDIN the stand-in printer UI entry
// point for the prefix's native processor (Windows paths). The scenarios run in the given order
// in one prefix, each with no printer installed and no command recorded.
#include <windows.h>

#include <winspool.h>

#include <cstdio>

#include "platform/system_folder.h"
#include "run/virtual_printer.h"
#include "tests/wine/scenario.h"
#include "tests/wine/standin_log.h"

const wchar_t kPrinterName[] = L"Velmora针式打印机 系列2";
const wchar_t kShorterName[] = L"Velmora针式打印机 系列";
const wchar_t kSucceeded[] = L"打印机驱动安装成功！";
const wchar_t kFailed[] = L"打印机驱动安装失败！";
const wchar_t kManualPrompt[] =
    L"没有检测到与打印机连接的可用USB口，请手动选择端口，并按“完成”按钮安装驱动。";
const wchar_t kPathTooLong[] = L"安装程序所在的路径过长，请将安装程序移至较短的路径后重新运行。";

std::wstring DetectedPrompt(const std::wstring& port) {
  return L"软件自动检测到与打印机的USB连接\n端口：" + port + L"\n请按“完成”按钮安装驱动。";
}

std::wstring FolderOf(const std::wstring& program) {
  return program.substr(0, program.rfind(L'\\') + 1);
}

void MakeFolders(std::initializer_list<const wchar_t*> folders) {
  for (const wchar_t* folder : folders) CHECK(CreateDirectoryW(folder, nullptr));
}

void PlaceStandin(const Arguments& args) {
  WCHAR target[kSystemPathWidth] = {};
  CHECK(NativeSystemFilePath(L"printui.dll", target));
  CHECK(CopyFileW(args.standin.c_str(), target, FALSE));
}

std::wstring StagingPrefix() {
  wchar_t windows[MAX_PATH] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\Temp\\VelmoraSetup-";
}

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

namespace {

// The two command lines of an install on the port, from a copy of the package: the INF of a
// folder of an unpredictable name (32 hexadecimal digits) in the Windows folder's Temp, each
// started in the system folder with the system's own environment, not the installer's.
void CheckCommands(const std::wstring& port) {
  const std::vector<std::wstring> recorded = RecordedCommands();
  const size_t start = recorded.empty() ? 0 : recorded[0].find(L"/f \"") + 4;
  const std::wstring inf =
      recorded.empty() ? L"" : recorded[0].substr(start, recorded[0].find(L'"', start) - start);
  const std::wstring prefix = StagingPrefix();
  CHECK(inf.size() == prefix.size() + 32 + 13 && inf.rfind(prefix, 0) == 0 &&
        inf.find_first_not_of(L"0123456789abcdef", prefix.size()) == prefix.size() + 32 &&
        inf.substr(prefix.size() + 32) == L"\\OEMPRINT.INF");
  const std::wstring printer = kPrinterName;
  const std::vector<std::wstring> expected = {
      L"PRINTUI.DLL,PrintUIEntry /if /n \"" + printer + L"\" /f \"" + inf + L"\" /r \"" + port +
          L"\" /m \"" + printer + L"\" ",
      L"PRINTUI.DLL,PrintUIEntry /y /q /n \"" + printer + L"\""};
  CHECK(recorded == expected);
  wchar_t system[MAX_PATH] = {};
  wchar_t windows[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring context = std::wstring(system) + L"|" + windows + L"\\Temp|" + windows;
  CHECK(ReadLines(STANDIN_CONTEXT_PATH) == std::vector<std::wstring>(2, context));
}

// The fault seam's report once the installer has ended: nothing left open but the spooler
// (held for the port list, always after a presence check), and the lines the scenario names.
void CheckSeamReport(const Scenario& scenario, bool spoolerHeld) {
  const std::vector<std::wstring> report = SeamReport();
  CHECK(Held(report) ==
        (spoolerHeld ? std::vector<std::wstring>{L"held module 1"} : std::vector<std::wstring>{}));
  for (const wchar_t* line : scenario.reported) CHECK(Reported(report, line));
}

// The driver. Before the user acts, the page shows the prompt for what is attached, with its
// buttons usable. A success shows its box with no copy of the package left, closes the wizard
// by itself, leaves the printer the default one and its two commands recorded. A failure
// leaves the page as it was before Finish, with no command run and no copy left, and the wizard
// free to close.
void RunWizardScenario(const Scenario& scenario, Arguments args) {
  if (scenario.setUp != nullptr) scenario.setUp(args);
  if ((scenario.machine & kPrinter) != 0) CHECK(RegisterPrinter(SupportedPrinter()));
  if ((scenario.machine & kStandin) != 0) PlaceStandin(args);
  Session session(args.program, args.directory, scenario.faults);
  const std::wstring prompt = session.Prompt();
  const bool listed = (scenario.machine & kPrinter) == 0;
  CHECK(prompt == (listed ? kManualPrompt : DetectedPrompt(L"USB001")));
  CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }, 5000));
  scenario.act != nullptr ? scenario.act(session, args) : session.Finish();
  const bool succeeds = scenario.outcome == kSucceeded;
  const HWND box = WaitForBox(session.installer, succeeds ? L"OK" : L"ERROR", scenario.outcome);
  if (succeeds) {
    CHECK(StagedCopies().empty());
    Dismiss(box);
    CHECK(session.installer.Ended(10000) && session.installer.ExitCode() == 0);
    wchar_t printer[256] = {};
    DWORD size = 256;
    CHECK(GetDefaultPrinterW(printer, &size) && std::wstring(printer) == kPrinterName);
    CheckCommands(scenario.port);
  } else {
    Dismiss(box);
    CHECK(WaitUntil([&] { return ButtonsAre(session.wizard, true); }));
    CHECK(PageIndex(session.wizard) == 1 && session.Prompt() == prompt);
    CHECK(RecordedCommands().empty() && StagedCopies().empty());
    PostMessageW(session.wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    CHECK(session.installer.Ended(10000));
  }
  if (scenario.faults != nullptr) CheckSeamReport(scenario, succeeds || listed);
}

// No printer attached or installed, no command recorded and the stand-in's options back to none.
void ForgetInstall() {
  UnregisterPrinter(SupportedPrinter());
  HANDLE printer = nullptr;
  PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
  for (const wchar_t* name : {kPrinterName, kShorterName}) {
    if (OpenPrinterW(const_cast<wchar_t*>(name), &printer, &access)) {
      CHECK(DeletePrinter(printer));
      ClosePrinter(printer);
    }
  }
  DeleteFileW(STANDIN_LOG_PATH);
  DeleteFileW(STANDIN_CONTEXT_PATH);
  SetStandinOption(L"HoldMs", nullptr);
  SetStandinOption(L"Relink", nullptr);
}

const Scenario* Find(const std::wstring& name) {
  for (const Scenarios* kind : {&WizardScenarios(), &FaultScenarios(), &DetectorScenarios()}) {
    for (const Scenario& scenario : *kind) {
      if (name == scenario.name) return &scenario;
    }
  }
  return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) return 2;
  const Arguments args{argv[1], argv[2], {}};
  for (int i = 3; i < argc; ++i) {
    const Scenario* scenario = Find(argv[i]);
    if (scenario == nullptr) return 2;
    const int failedBefore = failedChecks;
    ForgetInstall();
    scenario->run != nullptr ? scenario->run(args) : RunWizardScenario(*scenario, args);
    std::wprintf(L"%ls: %ls\n", argv[i], failedChecks == failedBefore ? L"passed" : L"FAILED");
  }
  ForgetInstall();
  return failedChecks == 0 ? 0 : 1;
}
