// The scriptable machine behind the simulated Win32 subset, for what Wine cannot show: a
// chosen call failing with a chosen code, memory running out, and what the code still holds.
// A test sets the machine's state, schedules failures, runs the system's code, then reads the
// calls whose exact arguments matter and the resources still held.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/sim/simwin32.h"

namespace sim {

// A simulated call, named by its function: the calls that can be made to fail, and whose
// calls are counted.
struct Call {
  template <typename Function>
  Call(Function* function)  // NOLINT(google-explicit-constructor): a table names the function
      : id(reinterpret_cast<void (*)()>(function)) {}
  bool operator==(const Call& other) const { return id == other.id; }
  bool operator<(const Call& other) const { return std::less<void (*)()>()(id, other.id); }
  void (*id)();
};

struct Launch {
  std::u16string file, parameters, directory;
};
struct Box {
  std::u16string text, caption;
  UINT style;
};
struct FileOpen {
  std::u16string path;
  DWORD access, shareMode, flags;
};
struct Load {
  std::u16string path;
  DWORD flags;
};
struct RegistryValue {
  DWORD type;
  std::vector<BYTE> data;
};
inline RegistryValue DwordValue(DWORD value) {
  return {REG_DWORD, {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)}};
}
inline RegistryValue StringValue(const std::u16string& text) {
  RegistryValue stored{REG_SZ, {}};
  for (char16_t c : text + u'\0') stored.data.insert(stored.data.end(), {BYTE(c), BYTE(c >> 8)});
  return stored;
}

struct Machine {
  // Scripted state.
  std::u16string modulePath = u"C:\\Drivers\\Setup\\install.exe";
  std::u16string systemDirectory = u"C:\\Windows\\system32";
  std::u16string windowsDirectory = u"C:\\Windows";
  bool wow64 = false;
  std::vector<std::u16string> printers;
  std::vector<std::u16string> ports;
  // The device paths of the present USB printer interfaces, in enumeration order.
  std::vector<std::u16string> interfaces;
  // The entries (subkeys) of the USB printer interface class key in enumeration order, and
  // the values below it by path, e.g. u"entry\\#\\Control\\Linked".
  std::vector<std::u16string> classEntries;
  std::map<std::u16string, RegistryValue> values;
  // Plain files by full path, and the digest the platform's SHA-256 gives for given bytes
  // (any other bytes hash to zeros).
  std::map<std::u16string, std::string> files;
  std::map<std::string, std::string> digests;
  // Runs at each successful launch.
  std::function<void()> onLaunch;

  // The nth call of that kind from now (1 = the next one) fails with code.
  void Fail(Call call, DWORD code, int nth = 1) { failures[call][calls[call] + nth] = code; }
  int Count(Call call) { return calls[call]; }

  // What the code did.
  std::vector<Launch> launches;
  std::vector<DWORD> waits, sleeps;
  std::vector<Box> boxes;
  std::vector<FileOpen> opens;
  std::vector<Load> loads;
  int librariesLoaded = 0;

  // What the code holds: handles, keys, lists and CryptoAPI objects with the path each
  // names, and memory; not libraries, since the spooler's stays loaded once it is of use.
  std::map<std::uintptr_t, std::u16string> held;
  std::map<HLOCAL, std::vector<BYTE>> buffers;
  bool AllReleased() const { return held.empty() && buffers.empty(); }

  // For the simulated calls.
  bool TakeFailure(Call call);
  std::uintptr_t New(std::u16string names = {});
  bool Release(std::uintptr_t object) { return held.erase(object) == 1; }
  std::map<Call, int> calls;
  std::map<Call, std::map<int, DWORD>> failures;
  std::map<std::uintptr_t, std::string> contents;  // unread file bytes, hashed bytes
  std::set<INIT_ONCE*> initialised;
  std::uintptr_t nextObject = 0x1000;
};

Machine& TheMachine();
// Gives every test a machine in its initial state.
void ResetMachine();
inline std::uintptr_t Id(const void* handle) { return reinterpret_cast<std::uintptr_t>(handle); }

}  // namespace sim
