// Simulated device files: a present USB printer interface opens by its path, letter case
// ignored as on Windows, and a device opened without sharing cannot be opened again until
// its handle is closed. Any other path is a plain file (sim_files.cpp).
#include "platform/sim/sim_machine.h"

using sim::Call;
using sim::TheMachine;

namespace {

bool SamePath(const std::u16string& a, const std::u16string& b) {
  const auto fold = [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

// Whether an open handle of that path forbids this open: either side shares nothing.
bool SharingConflict(const std::u16string& path, DWORD shareMode) {
  sim::Machine& machine = TheMachine();
  auto& files = machine.devices.deviceFiles;
  for (auto it = files.begin(); it != files.end();) {
    if (machine.openHandles.count(it->first) == 0) {
      it = files.erase(it);
      continue;
    }
    if (SamePath(it->second.path, path) && (shareMode == 0 || it->second.shareMode == 0)) {
      return true;
    }
    ++it;
  }
  return false;
}

}  // namespace

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                   DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile) {
  sim::Machine& machine = TheMachine();
  sim::FileOpen open;
  open.path = fileName ? fileName : u"";
  open.access = access;
  open.shareMode = shareMode;
  open.security = security != nullptr;
  open.disposition = disposition;
  open.flags = flagsAndAttributes;
  open.templateFile = templateFile != nullptr;
  machine.Record({Call::CreateFileW, open.path, {}, access});
  machine.devices.fileOpens.push_back(open);
  if (machine.TakeFailure(Call::CreateFileW)) return INVALID_HANDLE_VALUE;
  const sim::UsbInterface* device = nullptr;
  for (const sim::UsbInterface& candidate : machine.devices.interfaces) {
    if (SamePath(candidate.path, open.path)) device = &candidate;
  }
  if (device == nullptr) return sim::OpenPlainFile(open);
  if (disposition != OPEN_EXISTING) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (device->openError != 0) {
    SetLastError(device->openError);
    return INVALID_HANDLE_VALUE;
  }
  if (SharingConflict(open.path, shareMode)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return INVALID_HANDLE_VALUE;
  }
  HANDLE handle = machine.NewHandle();
  machine.devices.deviceFiles[handle] = open;
  return handle;
}
