#include "install/install_worker.h"

#include "install/install_settings.h"
#include "install/package_integrity.h"
#include "install/printui_runner.h"
#include "platform/local_buffer.h"
#include "platform/spooler_library.h"
#include "platform/wide_text.h"

const WCHAR kInstallTemplate[] =
    TEXT("PRINTUI.DLL,PrintUIEntry /if /n \"%s\" /f \"%s\" /r \"%s\" /m \"%s\" ");

namespace {

const WCHAR kSetDefaultTemplate[] = TEXT("PRINTUI.DLL,PrintUIEntry /y /q /n \"%s\"");

}  // namespace

int PrinterExists(const WCHAR* name) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (!SpoolerEnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &returned)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
  } else {
    needed = 0;
  }
  LocalBuffer buffer(needed);
  if (needed != 0 && !buffer.IsValid()) return 0;
  if (!SpoolerEnumPrinters(PRINTER_ENUM_LOCAL, nullptr, 2, buffer.Data(),
                           static_cast<DWORD>(buffer.Size()), &needed, &returned)) {
    return 0;
  }
  const auto* records = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.Data());
  for (DWORD i = 0; i < returned; ++i) {
    // Case-sensitive prefix match: "name (Copy 1)" counts, a record name ending sooner not.
    if (records[i].pPrinterName != nullptr && WideStartsWith(records[i].pPrinterName, name)) {
      return 1;
    }
  }
  return 0;
}

int RunInstallStep() {
  InstallSettingsRecord& settings = InstallSettings;
  if (settings.ProgramLocationUsable == 0 || BuildInfPath(settings) == 0) return 0;
  WCHAR command[kCommandWidth] = {};
  if (FormatCommand(command, kInstallTemplate, settings.PrinterName, settings.InfPath,
                    settings.PortName, settings.PrinterName) == 0) {
    return 0;
  }
  {
    // The command installs whatever the package beside the program holds: it runs only on the
    // package the program was built with, held unchanged until the command has ended.
    DriverPackageLock package;
    if (package.Acquire(settings.ProgramDirectory) == 0) return 0;
    if (RunPrintUiCommand(command) == 0) return 0;
  }
  Sleep(kSettleAfterInstallMs);
  return PrinterExists(settings.PrinterName);
}

int RunSetDefaultStep() {
  if (InstallSettings.SetAsDefault == 0) return 1;
  WCHAR command[kCommandWidth] = {};
  if (FormatCommand(command, kSetDefaultTemplate, InstallSettings.PrinterName) == 0) return 0;
  return RunPrintUiCommand(command);
}

DWORD WINAPI InstallWorker(LPVOID outcome) {
  auto* target = static_cast<InstallOutcome*>(outcome);
  if (RunInstallStep() == 0) {
    target->InstallResult = kInstallFailed;
    return 0;
  }
  if (InstallSettings.SetAsDefault != 0) RunSetDefaultStep();
  Sleep(kPauseBeforeSuccessMs);
  target->InstallResult = kInstallSucceeded;
  return 0;
}
