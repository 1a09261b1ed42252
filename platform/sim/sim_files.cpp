// Simulated plain files: the files a test placed in Machine::files, opened by their exact path
// and read from start to end.
#include <algorithm>
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

HANDLE sim::OpenPlainFile(const FileOpen& open) {
  Machine& machine = TheMachine();
  if (machine.files.count(open.path) == 0 || open.disposition != OPEN_EXISTING) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = machine.NewHandle();
  machine.fileReads[handle] = {open.path, 0};
  return handle;
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
  sim::Machine& machine = TheMachine();
  *read = 0;
  const auto found = machine.fileReads.find(file);
  if (found == machine.fileReads.end() || machine.openHandles.count(file) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (machine.TakeFailure(Call::ReadFile)) return FALSE;
  const std::string& bytes = machine.files[found->second.first];
  std::size_t& position = found->second.second;
  const std::size_t count = std::min<std::size_t>(toRead, bytes.size() - position);
  std::memcpy(buffer, bytes.data() + position, count);
  position += count;
  *read = static_cast<DWORD>(count);
  return TRUE;
}
