// The background installation: install the printer from the driver package, confirm through
// the spooler that it exists, make it the default printer, and publish the outcome.
#pragma once

#include <atomic>

#include "platform/win32.h"

// Where the worker publishes its outcome: 0 none yet, 1 installed, -1 failed. The worker
// writes it once, as its last action; the wizard polls it on a timer.
struct InstallOutcome {
  std::atomic<LONG> InstallResult{0};
};

constexpr LONG kInstallPending = 0;
constexpr LONG kInstallSucceeded = 1;
constexpr LONG kInstallFailed = -1;

constexpr DWORD kSettleAfterInstallMs = 500;
constexpr DWORD kPauseBeforeSuccessMs = 100;

// The thread routine. Its parameter is the InstallOutcome to publish into.
DWORD WINAPI InstallWorker(LPVOID outcome);

// Returns 1 when the printer is installed and present, 0 otherwise.
int RunInstallStep();
// Returns 1 when nothing was asked for or the command was launched, 0 when it was not.
int RunSetDefaultStep();
// Returns 1 when a local printer's name begins with name, 0 otherwise or on any failure.
int PrinterExists(const WCHAR* name);
