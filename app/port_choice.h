// The port page's decisions that need no window: which prompt to show, which names fill the
// manual port list and which entry is preselected, whether a port may be installed on, and
// what a timer tick reports. The page applies them to its controls.
#pragma once

#include "ports/wide_string.h"

// The detected-port prompt, a format whose %s is the port: the port stands on its own line.
extern const WCHAR kDetectedPromptFormat[];
extern const WCHAR kManualPrompt[];
extern const WCHAR kPrinterModelName[];
extern const WCHAR kInstallSucceededText[];
extern const WCHAR kInstallFailedText[];
extern const WCHAR kSuccessCaption[];
extern const WCHAR kFailureCaption[];

// The names for the manual list: the spooler's, in its order, when it could be asked
// (enumerated != 0), otherwise the fixed fallback list.
WideStringList ManualPortNames(int enumerated, WideStringList spoolerPorts);

// The entry to preselect: the first that begins with "LPT1:", ASCII letter case ignored;
// else the first entry; -1 for an empty list.
int PreselectedPort(const WideStringList& names);

// A port is installed on only when it fits the settings' port field whole and cannot break
// out of its quotes in the command line.
bool IsInstallablePort(const WCHAR* port);

enum class TickReport {
  kNothing,  // not our timer, or no outcome yet: default handling only
  kFailure,  // stop the timer, show the failure box, unlock the buttons
  kSuccess,  // stop the timer, show the success box, close the wizard
  kSilent,   // an outcome that is neither: stop the timer and unlock, show nothing
};
TickReport ReportForTick(bool ownTimer, LONG installResult);
