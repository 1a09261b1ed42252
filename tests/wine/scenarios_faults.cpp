// The installer's failure paths that only the fault seam reaches (fault_seam.h): its start-up,
// the spooler, and Finish when the run cannot start, the package cannot be copied or checked,
// or the printer UI cannot be launched.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/system_folder.h"
#include "tests/wine/fault_seam.h"
#include "tests/wine/scenario.h"

namespace {

// Started without its library search kept to the system folder (SetDefaultDllDirectories
// missing or failing), the installer ends with exit code 2 and shows nothing. When it cannot
// tell its own path, it says its path is too long.
void StartUpFails(const Arguments& args) {
  for (const wchar_t* faults : {L"SetDefaultDllDirectories:0", L"SetDefaultDllDirectories:1"}) {
    const Installer installer(StartWithSeam(args.program, {}, faults));
    CHECK(installer.Ended(10000) && installer.ExitCode() == 2);
  }
  const Installer installer(StartWithSeam(args.program, {}, L"GetModuleFileNameW:1:8"));
  Dismiss(WaitForBox(installer, L"ERROR", kPathTooLong));
  CHECK(installer.Ended(10000) && installer.ExitCode() == 0);
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
    Session session(args.program, {}, faults);
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

// rundll32 cannot be started: the reason, as the shell words it, in an error box, before the
// failure box.
void LaunchRefused(Session& session, const Arguments&) {
  session.Finish();
  const HWND box = WaitForBox(session.installer, L"ERROR", L"The specified file was not found.");
  constexpr int kMessageBoxIcon = 0x440;
  CHECK(SendMessageW(GetDlgItem(box, kMessageBoxIcon), STM_GETICON, 0, 0) != 0);
  Dismiss(box);
}

}  // namespace

// The copy's folder is asked for with a protected access list, full control for SYSTEM and
// Administrators alone (Wine keeps none, so the seam reports what was asked).
const std::vector<const wchar_t*> kProtectedFolder = {
    L"CreateDirectoryW D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"};

// Each Finish below fails: see the failure's checks in the driver.
const Scenarios& FaultScenarios() {
  static const Scenarios scenarios = {
      {L"start-up-fails", StartUpFails},
      {L"spooler-fails", SpoolerFails},
      {L"timer-fails", nullptr, kStandin, nullptr, L"SetTimer:1:8", nullptr, kFailed},
      {L"thread-fails", nullptr, kStandin, nullptr, L"CreateThread:1:8", nullptr, kFailed},
      {L"stage-folder-fails", nullptr, kStandin, nullptr, L"CreateDirectoryW:1:5", nullptr, kFailed,
       nullptr, kProtectedFolder},
      {L"stage-random-fails", nullptr, kStandin, nullptr, L"CryptGenRandom:1", nullptr, kFailed},
      {L"stage-read-fails", nullptr, kStandin, nullptr, L"ReadFile:1:23", nullptr, kFailed},
      {L"stage-write-fails", nullptr, kStandin, nullptr, L"WriteFile:1:112", nullptr, kFailed},
      {L"stage-hash-fails", nullptr, kStandin, nullptr, L"CryptCreateHash:1", nullptr, kFailed},
      {L"stage-digest-fails", nullptr, kStandin, nullptr, L"CryptGetHashParam:1", nullptr, kFailed},
      {L"launch-fails", nullptr, kPrinter | kStandin, nullptr, L"CreateProcessW:1:2", LaunchRefused,
       kFailed},
  };
  return scenarios;
}
