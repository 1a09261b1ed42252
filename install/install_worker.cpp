#include "install/install_worker.h"

#include <utility>

#include "install/install_settings.h"
#include "install/package_staging.h"
#include "install/printui_command.h"
#include "install/printui_runner.h"
#include "platform/local_buffer.h"
#include "platform/spooler_library.h"
#include "platform/wide_text.h"

namespace {

// The copy of the package that the install command reads. It stays while that command runs,
// past the two-minute wait; a later run replaces it only once the command has ended, and at
// the end of the process a copy still in use is left to the platform to remove at restart.
// Only the worker touches it, one at a time, and the process ends only once no worker runs.
StagedPackage g_stagedPackage;

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
  const InstallSettingsRecord& settings = InstallSettings;
  if (settings.ProgramLocationUsable == 0) return 0;
  // The command installs whatever its INF names, with full rights: it runs only on a copy of
  // the package the program was built with, which no unelevated program can change.
  if (g_stagedPackage.Stage(settings.ProgramDirectory) == 0) return 0;
  WCHAR command[kCommandWidth] = {};
  UniqueKernelHandle process;
  const int launched =
      FormatCommand(command, kInstallTemplate, settings.PrinterName, g_stagedPackage.InfPath(),
                    settings.PortName, settings.PrinterName) != 0 &&
      RunPrintUiCommand(command, process) != 0;
  g_stagedPackage.KeepFor(std::move(process));
  g_stagedPackage.Remove();
  if (!launched) return 0;
  Sleep(kSettleAfterInstallMs);
  return PrinterExists(settings.PrinterName);
}

int RunSetDefaultStep() {
  if (InstallSettings.SetAsDefault == 0) return 1;
  WCHAR command[kCommandWidth] = {};
  if (FormatCommand(command, kSetDefaultTemplate, InstallSettings.PrinterName) == 0) return 0;
  UniqueKernelHandle process;
  return RunPrintUiCommand(command, process);
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
