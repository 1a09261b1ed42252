// The process-wide installation parameters: where the program and its driver package lie,
// and which printer to install on which port. Written by the port page before it starts the
// install worker, read by the worker only.
#pragma once

#include <cstddef>

#include "install/program_location.h"
#include "platform/win32.h"

constexpr std::size_t kNameWidth = 200;

struct InstallSettingsRecord {
  InstallSettingsRecord();

  WCHAR ProgramDirectory[kPathWidth];
  WCHAR InfPath[kPathWidth];
  WCHAR PrinterName[kNameWidth];
  WCHAR PortName[kNameWidth];
  LONG SetAsDefault;
  // 0 when the program's folder cannot be told, or the driver package's path below it would
  // not fit InfPath (LocateProgram). Directory and INF path are then empty.
  LONG ProgramLocationUsable;
};

extern InstallSettingsRecord InstallSettings;

// Clears the record and computes ProgramDirectory and InfPath from the running program
// (LocateProgram).
void InitInstallSettings(InstallSettingsRecord& settings);
