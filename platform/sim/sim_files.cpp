// Simulated files and hashes: the present USB printer interfaces open as devices, the files a
// test placed open for reading from start to end, and the platform's SHA-256 gives the digest
// the test named for the bytes hashed.
#include <algorithm>

#include "platform/sim/sim_machine.h"

using sim::TheMachine;

HANDLE CreateFileW(LPCWSTR fileName, DWORD access, DWORD shareMode, SECURITY_ATTRIBUTES*, DWORD,
                   DWORD flagsAndAttributes, HANDLE) {
  sim::Machine& machine = TheMachine();
  machine.opens.push_back({fileName, access, shareMode, flagsAndAttributes});
  if (machine.TakeFailure(&CreateFileW)) return INVALID_HANDLE_VALUE;
  const auto file = machine.files.find(fileName);
  const auto& devices = machine.interfaces;
  if (file == machine.files.end() && std::count(devices.begin(), devices.end(), fileName) == 0) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  const std::uintptr_t handle = machine.New(fileName);
  if (file != machine.files.end()) machine.contents[handle] = file->second;
  return reinterpret_cast<HANDLE>(handle);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, OVERLAPPED*) {
  *read = 0;
  if (TheMachine().TakeFailure(&ReadFile)) return FALSE;
  std::string& unread = TheMachine().contents.at(sim::Id(file));
  *read = static_cast<DWORD>(unread.copy(static_cast<char*>(buffer), toRead));
  unread.erase(0, *read);
  return TRUE;
}

BOOL CryptAcquireContextW(HCRYPTPROV* provider, LPCWSTR, LPCWSTR, DWORD, DWORD) {
  if (TheMachine().TakeFailure(&CryptAcquireContextW)) return FALSE;
  *provider = TheMachine().New();
  return TRUE;
}

BOOL CryptReleaseContext(HCRYPTPROV provider, DWORD) { return TheMachine().Release(provider); }

BOOL CryptCreateHash(HCRYPTPROV, ALG_ID, HCRYPTKEY, DWORD, HCRYPTHASH* hash) {
  if (TheMachine().TakeFailure(&CryptCreateHash)) return FALSE;
  *hash = TheMachine().New();
  return TRUE;
}

BOOL CryptHashData(HCRYPTHASH hash, const BYTE* data, DWORD length, DWORD) {
  if (TheMachine().TakeFailure(&CryptHashData)) return FALSE;
  TheMachine().contents[hash].append(reinterpret_cast<const char*>(data), length);
  return TRUE;
}

BOOL CryptGetHashParam(HCRYPTHASH hash, DWORD, BYTE* data, DWORD* length, DWORD) {
  sim::Machine& machine = TheMachine();
  if (machine.TakeFailure(&CryptGetHashParam)) return FALSE;
  const auto known = machine.digests.find(machine.contents[hash]);
  const std::string digest = known != machine.digests.end() ? known->second : std::string(32, 0);
  *length = static_cast<DWORD>(digest.copy(reinterpret_cast<char*>(data), *length));
  return TRUE;
}

BOOL CryptDestroyHash(HCRYPTHASH hash) { return TheMachine().Release(hash); }
