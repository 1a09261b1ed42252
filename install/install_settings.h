// The process-wide installation parameters: where the program and its driver package lie,
// and which printer to install on which port. Written by the port page before it starts the
// install worker, read by the worker only.
#pragma once

#include <cstddef>

#include "platform/win32.h"

constexpr std::size_t kPathWidth = 260;
constexpr std::size_t kNameWidth = 200;

struct InstallSettingsRecord {
  InstallSettingsRecord();

  WCHAR ProgramDirectory[kPathWidth];
  WCHAR InfPath[kPathWidth];
  WCHAR PrinterName[kNameWidth];
  WCHAR PortName[kNameWidth];
  LONG SetAsDefault;
  // 0 when the program's own path did not fit: the path was truncated, or the driver
  // package's path below it would not fit InfPath. Directory and INF path are then empty.
  LONG ProgramLocationUsable;
};

extern InstallSettingsRecord InstallSettings;

// Shown instead of the wizard when the program lies too deep to locate its driver package.
extern const WCHAR kProgramPathTooLongText[];

// Clears the record and computes ProgramDirectory and InfPath from the running program.
void InitInstallSettings(InstallSettingsRecord& settings);

// InfPath := ProgramDirectory + "PrinterDriver\" + "series2\OEMPRINT.INF". Returns 1, or 0
// with InfPath empty when the result would not fit.
int BuildInfPath(InstallSettingsRecord& settings);
