#include "install/install_settings.h"

InstallSettingsRecord InstallSettings;

InstallSettingsRecord::InstallSettingsRecord() { InitInstallSettings(*this); }

void InitInstallSettings(InstallSettingsRecord& settings) {
  settings.PrinterName[0] = 0;
  settings.PortName[0] = 0;
  settings.SetAsDefault = 0;
  WCHAR path[kPathWidth] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, kPathWidth);
  settings.ProgramLocationUsable =
      LocateProgram(path, length, settings.ProgramDirectory, settings.InfPath);
}
