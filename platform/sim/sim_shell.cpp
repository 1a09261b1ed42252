// Simulated process launches and waits. A launched process is a handle with a duration; a
// wait ends when the process does or when the timeout runs out, whichever comes first.
#include <map>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

namespace {
std::map<HANDLE, DWORD>& ProcessDurations() {
  static std::map<HANDLE, DWORD> durations;
  return durations;
}
}  // namespace

BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) {
  sim::Machine& machine = TheMachine();
  sim::Event event{Call::ShellExecuteExW, info->lpParameters ? info->lpParameters : u"",
                   info->lpFile ? info->lpFile : u"", static_cast<std::uint64_t>(info->nShow)};
  event.owner = info->hwnd;
  event.aux = info->lpVerb ? info->lpVerb : u"";
  event.directory = info->lpDirectory ? info->lpDirectory : u"";
  event.flags = info->fMask;
  machine.Record(event);
  if (info->cbSize != sizeof(SHELLEXECUTEINFOW)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (machine.TakeFailure(Call::ShellExecuteExW)) return FALSE;
  const std::size_t launch = machine.launches++;
  info->hProcess = nullptr;
  if ((info->fMask & SEE_MASK_NOCLOSEPROCESS) && !machine.launchWithoutProcess) {
    info->hProcess = machine.NewHandle();
    ProcessDurations()[info->hProcess] =
        launch < machine.processDurations.size() ? machine.processDurations[launch] : 0;
  }
  if (machine.onLaunch) machine.onLaunch(*info);
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::WaitForSingleObject, {}, {}, milliseconds});
  if (machine.TakeFailure(Call::WaitForSingleObject)) return WAIT_FAILED;
  if (machine.openHandles.count(handle) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return ProcessDurations()[handle] > milliseconds ? WAIT_TIMEOUT : WAIT_OBJECT_0;
}
