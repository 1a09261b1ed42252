#include "install/install_settings.h"

#include "platform/wide_text.h"

InstallSettingsRecord InstallSettings;

const WCHAR kProgramPathTooLongText[] =
    TEXT("安装程序所在的路径过长，请将安装程序移至较短的路径后重新运行。");

InstallSettingsRecord::InstallSettingsRecord() { InitInstallSettings(*this); }

namespace {

// The executable's directory, with its trailing backslash. Fails when the platform had to
// truncate the path: a truncated path names a directory that does not hold the program.
bool ReadProgramDirectory(WCHAR (&directory)[kPathWidth]) {
  WCHAR path[kPathWidth] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, kPathWidth);
  if (length == 0 || length >= kPathWidth) return false;
  std::size_t end = length;
  while (end > 0 && path[end - 1] != TEXT('\\')) --end;
  if (end == 0) return false;
  path[end] = 0;
  return WideCopy(directory, path);
}

}  // namespace

int BuildInfPath(InstallSettingsRecord& settings) {
  settings.InfPath[0] = 0;
  if (WideCopy(settings.InfPath, settings.ProgramDirectory) &&
      WideAppend(settings.InfPath, TEXT("PrinterDriver\\")) &&
      WideAppend(settings.InfPath, TEXT("series2\\OEMPRINT.INF"))) {
    return 1;
  }
  settings.InfPath[0] = 0;
  return 0;
}

void InitInstallSettings(InstallSettingsRecord& settings) {
  settings.ProgramDirectory[0] = 0;
  settings.InfPath[0] = 0;
  settings.PrinterName[0] = 0;
  settings.PortName[0] = 0;
  settings.SetAsDefault = 0;
  settings.ProgramLocationUsable = 0;
  if (ReadProgramDirectory(settings.ProgramDirectory) && BuildInfPath(settings) == 1) {
    settings.ProgramLocationUsable = 1;
  } else {
    settings.ProgramDirectory[0] = 0;
  }
}
