#include "app/port_choice.h"

#include "install/install_settings.h"
#include "install/install_worker.h"
#include "install/printui_command.h"
#include "platform/wide_text.h"
#include "ports/port_text.h"

static_assert(kPortNameWidth == kNameWidth, "a detected port fits the settings' port field");

const WCHAR kDetectedPromptFormat[] =
    TEXT("软件自动检测到与打印机的USB连接\n端口：%s\n请按“完成”按钮安装驱动。");
const WCHAR kManualPrompt[] =
    TEXT("没有检测到与打印机连接的可用USB口，请手动选择端口，并按“完成”按钮安装驱动。");
const WCHAR kPrinterModelName[] = TEXT("Velmora针式打印机 系列2");
const WCHAR kInstallSucceededText[] = TEXT("打印机驱动安装成功！");
const WCHAR kInstallFailedText[] = TEXT("打印机驱动安装失败！");
const WCHAR kSuccessCaption[] = TEXT("OK");
const WCHAR kFailureCaption[] = TEXT("ERROR");

const WCHAR* const kFallbackPorts[kFallbackPortCount] = {
    TEXT("LPT1:"), TEXT("LPT2:"), TEXT("LPT3:"), TEXT("COM1:"),  TEXT("COM2:"),
    TEXT("COM3:"), TEXT("COM4:"), TEXT("COM5:"), TEXT("USB001"),
};
const WCHAR kPreselectedPort[] = TEXT("LPT1:");

bool IsInstallablePort(const WCHAR* port) {
  return IsQuotableArgument(port) && WideLength(port, kNameWidth) < kNameWidth;
}

TickReport ReportForTick(bool ownTimer, LONG installResult) {
  if (!ownTimer || installResult == kInstallPending) return TickReport::kNothing;
  if (installResult == kInstallFailed) return TickReport::kFailure;
  if (installResult == kInstallSucceeded) return TickReport::kSuccess;
  return TickReport::kSilent;
}
