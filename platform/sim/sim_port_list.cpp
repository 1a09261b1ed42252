// The simulated spooler's port list, laid out as the spooler does: the level-2 records one
// after another at the start of the buffer, their names after them.
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

BOOL EnumPortsW(LPWSTR name, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed,
                LPDWORD returned) {
  sim::Machine& machine = TheMachine();
  sim::Event event{Call::EnumPortsW, name ? name : u"", {}, bufferSize};
  event.flags = level;
  machine.Record(event);
  *returned = 0;
  if (machine.TakeFailure(Call::EnumPortsW)) return FALSE;
  if (level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  const std::vector<std::u16string>& ports = machine.devices.spoolerPorts;
  DWORD size = static_cast<DWORD>(ports.size() * sizeof(PORT_INFO_2W));
  for (const auto& port : ports) size += static_cast<DWORD>((port.size() + 1) * sizeof(WCHAR));
  *needed = size;
  if (bufferSize < size) {
    if (buffer == nullptr && machine.devices.afterPortSizeQuery) {
      machine.devices.afterPortSizeQuery();
    }
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* records = reinterpret_cast<PORT_INFO_2W*>(buffer);
  auto* text = reinterpret_cast<WCHAR*>(buffer + ports.size() * sizeof(PORT_INFO_2W));
  for (std::size_t i = 0; i < ports.size(); ++i) {
    records[i] = PORT_INFO_2W{};
    records[i].pPortName = text;
    std::memcpy(text, ports[i].c_str(), (ports[i].size() + 1) * sizeof(WCHAR));
    text += ports[i].size() + 1;
  }
  *returned = static_cast<DWORD>(ports.size());
  return TRUE;
}
