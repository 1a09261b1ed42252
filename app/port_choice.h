// The port page's decisions that need no window: which prompt to show, which names fill the
// manual port list when the spooler cannot be asked and which entry is preselected, whether a
// port may be installed on, and what a timer tick reports. The page applies them to its
// controls.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// The detected-port prompt, a format whose %s is the port: the port stands on its own line.
extern const WCHAR kDetectedPromptFormat[];
extern const WCHAR kManualPrompt[];
extern const WCHAR kPrinterModelName[];
extern const WCHAR kInstallSucceededText[];
extern const WCHAR kInstallFailedText[];
extern const WCHAR kSuccessCaption[];
extern const WCHAR kFailureCaption[];

// The manual list when the spooler cannot be asked, in this order; otherwise the list holds
// the spooler's ports in the spooler's order.
constexpr std::size_t kFallbackPortCount = 9;
extern const WCHAR* const kFallbackPorts[kFallbackPortCount];
// The list preselects the first entry that begins with this text, letter case ignored, and
// the first entry when none does.
extern const WCHAR kPreselectedPort[];

// A port is installed on only when it fits the settings' port field whole and can stand between
// quotes in the command line (IsQuotableArgument); the command builder refuses it too, but the
// page refuses it first. Every other text, the empty one included, is passed unchanged.
bool IsInstallablePort(const WCHAR* port);

enum class TickReport {
  kNothing,  // not our timer, or no outcome yet: default handling only
  kFailure,  // stop the timer, show the failure box, unlock the buttons
  kSuccess,  // stop the timer, show the success box, close the wizard
  kSilent,   // an outcome that is neither: stop the timer and unlock, show nothing
};
TickReport ReportForTick(bool ownTimer, LONG installResult);
