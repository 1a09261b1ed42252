// Simulated spooler lists. Records are laid out as the spooler does: the fixed records one
// after another at the start of the buffer, their strings after them.
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

BOOL EnumPrintersW(DWORD flags, LPWSTR, DWORD level, LPBYTE buffer, DWORD bufferSize,
                   LPDWORD needed, LPDWORD returned) {
  sim::Machine& machine = TheMachine();
  machine.Record({Call::EnumPrintersW, {}, {}, bufferSize});
  *returned = 0;
  if (machine.TakeFailure(Call::EnumPrintersW)) return FALSE;
  if (flags != PRINTER_ENUM_LOCAL || level != 2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::vector<std::u16string>& names = machine.printers;
  DWORD size = static_cast<DWORD>(names.size() * sizeof(PRINTER_INFO_2W));
  for (const auto& name : names) size += static_cast<DWORD>((name.size() + 1) * sizeof(WCHAR));
  *needed = names.empty() ? 0 : size;
  if (buffer == nullptr || bufferSize < *needed) {
    if (buffer == nullptr && machine.afterPrinterSizeQuery) machine.afterPrinterSizeQuery();
    if (names.empty()) return TRUE;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* records = reinterpret_cast<PRINTER_INFO_2W*>(buffer);
  auto* text = reinterpret_cast<WCHAR*>(buffer + names.size() * sizeof(PRINTER_INFO_2W));
  for (std::size_t i = 0; i < names.size(); ++i) {
    records[i] = PRINTER_INFO_2W{};
    records[i].pPrinterName = text;
    std::memcpy(text, names[i].c_str(), (names[i].size() + 1) * sizeof(WCHAR));
    text += names[i].size() + 1;
  }
  *returned = static_cast<DWORD>(names.size());
  return TRUE;
}
