#include "ports/spooler_ports.h"

#include "platform/local_buffer.h"
#include "platform/spooler_library.h"

namespace {

constexpr DWORD kPortInfoLevel = 2;

int FetchPorts(BYTE* buffer, DWORD size, PortNameSink& sink) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (!SpoolerEnumPorts(nullptr, kPortInfoLevel, buffer, size, &needed, &returned)) return 0;
  const auto* records = reinterpret_cast<const PORT_INFO_2W*>(buffer);
  for (DWORD i = 0; records != nullptr && i < returned; ++i) {
    sink.Add(records[i].pPortName != nullptr ? records[i].pPortName : TEXT(""));
  }
  return 1;
}

}  // namespace

int EnumSpoolerPorts(PortNameSink& sink) {
  DWORD needed = 0;
  DWORD returned = 0;
  if (SpoolerEnumPorts(nullptr, kPortInfoLevel, nullptr, 0, &needed, &returned)) {
    return FetchPorts(nullptr, 0, sink);
  }
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return 0;
  LocalBuffer buffer(needed);
  if (!buffer.IsValid()) return 0;
  return FetchPorts(buffer.Data(), needed, sink);
}
