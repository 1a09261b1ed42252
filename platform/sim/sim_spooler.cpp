// The simulated spooler's printer and port lists, laid out as the spooler lays them out: the
// records one after another at the start of the buffer, their names after them.
#include <cstring>

#include "platform/sim/sim_machine.h"

using sim::TheMachine;

namespace {

template <typename Record>
BOOL List(sim::Call call, const std::vector<std::u16string>& names, LPWSTR Record::*name,
          LPBYTE buffer, DWORD bufferSize, LPDWORD needed, LPDWORD returned) {
  *returned = 0;
  if (TheMachine().TakeFailure(call)) return FALSE;
  *needed = static_cast<DWORD>(names.size() * sizeof(Record));
  for (const auto& text : names) *needed += static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR));
  if (bufferSize < *needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* records = reinterpret_cast<Record*>(buffer);
  auto* text = reinterpret_cast<WCHAR*>(buffer + names.size() * sizeof(Record));
  for (const auto& entry : names) {
    *records = Record{};
    (records++)->*name = text;
    std::memcpy(text, entry.c_str(), (entry.size() + 1) * sizeof(WCHAR));
    text += entry.size() + 1;
  }
  *returned = static_cast<DWORD>(names.size());
  return TRUE;
}

}  // namespace

BOOL EnumPrintersW(DWORD flags, LPWSTR, DWORD level, LPBYTE buffer, DWORD bufferSize,
                   LPDWORD needed, LPDWORD returned) {
  if (flags != PRINTER_ENUM_LOCAL || level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  return List(&EnumPrintersW, TheMachine().printers, &PRINTER_INFO_2W::pPrinterName, buffer,
              bufferSize, needed, returned);
}

BOOL EnumPortsW(LPWSTR, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed,
                LPDWORD returned) {
  if (level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  return List(&EnumPortsW, TheMachine().ports, &PORT_INFO_2W::pPortName, buffer, bufferSize, needed,
              returned);
}
