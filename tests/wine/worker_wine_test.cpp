// Runs the real install worker on its own thread under Wine, against the prefix's real
// shell, spooler and printer UI entry point.
//   worker_wine_test platform   Wine's own entry point: launched fine, adds nothing: -1.
//   worker_wine_test standin    the stand-in entry point: installed and default: 1, and
//                               the command lines it received are exactly the installer's.
#include <windows.h>

#include <winspool.h>

#include <cstring>
#include <string>
#include <vector>

#include "install/install_settings.h"
#include "install/install_worker.h"
#include "tests/wine/standin_log.h"
#include "tests/wine/wine_check.h"

namespace {

const std::wstring kPrinter = L"Velmora针式打印机 系列2";

void Set(WCHAR* field, size_t width, const std::wstring& value) {
  CHECK(value.size() < width);
  std::memcpy(field, value.c_str(), (value.size() + 1) * sizeof(WCHAR));
}

LONG RunWorkerThread() {
  InstallOutcome outcome;
  HANDLE thread = CreateThread(nullptr, 0, InstallWorker, &outcome, 0, nullptr);
  CHECK(thread != nullptr);
  CHECK(WaitForSingleObject(thread, 5 * 60 * 1000) == WAIT_OBJECT_0);
  CloseHandle(thread);
  return outcome.InstallResult;
}

std::wstring DefaultPrinter() {
  wchar_t name[256] = {};
  DWORD size = 256;
  return GetDefaultPrinterW(name, &size) ? name : L"";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const bool standin = argc > 1 && std::wstring(argv[1]) == L"standin";
  CHECK(InstallSettings.ProgramLocationUsable == 1);
  Set(InstallSettings.PrinterName, kNameWidth, kPrinter);
  Set(InstallSettings.PortName, kNameWidth, L"USB001");
  InstallSettings.SetAsDefault = 1;

  const LONG outcome = RunWorkerThread();
  if (!standin) {
    CHECK(outcome == kInstallFailed);
    CHECK(PrinterExists(kPrinter.c_str()) == 0);
    return CheckResult();
  }
  CHECK(outcome == kInstallSucceeded);
  CHECK(PrinterExists(kPrinter.c_str()) == 1);
  CHECK(DefaultPrinter() == kPrinter);
  const std::wstring inf =
      std::wstring(InstallSettings.ProgramDirectory) + L"PrinterDriver\\series2\\OEMPRINT.INF";
  const std::vector<std::wstring> expected = {
      L"PRINTUI.DLL,PrintUIEntry /if /n \"" + kPrinter + L"\" /f \"" + inf +
          L"\" /r \"USB001\" /m \"" + kPrinter + L"\" ",
      L"PRINTUI.DLL,PrintUIEntry /y /q /n \"" + kPrinter + L"\"",
  };
  const std::vector<std::wstring> recorded = RecordedCommands();
  CHECK(recorded == expected);
  if (recorded != expected) {
    for (const auto& line : recorded) std::fwprintf(stderr, L"recorded: [%ls]\n", line.c_str());
  }
  return CheckResult();
}
