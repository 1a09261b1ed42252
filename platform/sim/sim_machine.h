// The scriptable machine behind the simulated Win32 subset. A test sets up the machine's
// state (program path, printers, how launched processes behave), schedules failures of any
// call with any error code, runs the system's code, and then reads what the code did: the
// calls it made in order, and the resources it still holds.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/sim_devices.h"
#include "platform/sim/simwin32.h"

namespace sim {

enum class Call {
  GetModuleFileNameW,
  ShellExecuteExW,
  WaitForSingleObject,
  CloseHandle,
  Sleep,
  LocalAlloc,
  MessageBoxW,
  EnumPrintersW,
  GetSystemDirectoryW,
  GetSystemWindowsDirectoryW,
  IsWow64Process,
  LoadLibraryExW,
  GetProcAddress,
  FreeLibrary,
  // Port discovery; how these calls are recorded is told in sim_devices.h.
  SetupDiGetClassDevsW,
  SetupDiEnumDeviceInterfaces,
  SetupDiGetDeviceInterfaceDetailW,
  SetupDiDestroyDeviceInfoList,
  SetupDiOpenClassRegKeyExW,
  CreateFileW,
  RegEnumKeyExW,
  RegOpenKeyExW,
  RegQueryValueExW,
  RegCloseKey,
  EnumPortsW,
  // The driver package check: reading its files and hashing them.
  ReadFile,
  CryptAcquireContextW,
  CryptCreateHash,
  CryptHashData,
  CryptGetHashParam,
};

// One call as the machine saw it. What the texts and the value hold depends on the call:
// ShellExecuteExW: text = parameters, detail = file, aux = verb, directory = lpDirectory,
//   value = nShow, flags = fMask, owner = hwnd;
// WaitForSingleObject and Sleep: value = milliseconds;
// MessageBoxW: text = message, detail = caption, value = style, owner = owner window;
// EnumPrintersW: value = buffer size offered;
// LoadLibraryExW: text = path, value = flags; GetProcAddress: text = name.
struct Event {
  Event(Call c, std::u16string t = {}, std::u16string d = {}, std::uint64_t v = 0)
      : call(c), text(std::move(t)), detail(std::move(d)), value(v) {}
  Call call;
  std::u16string text;
  std::u16string detail;
  std::uint64_t value = 0;
  HWND owner = nullptr;
  std::u16string aux;
  std::u16string directory;
  std::uint64_t flags = 0;
};

class Machine {
 public:
  // Scripted state.
  std::u16string modulePath = u"C:\\Drivers\\Setup\\install.exe";
  std::vector<std::u16string> printers;
  // How long each launched process runs, in launch order; launches past the list end at once.
  std::vector<DWORD> processDurations;
  // A launch that reports success without handing back a process handle.
  bool launchWithoutProcess = false;
  // Runs for each successful launch, e.g. to let the install command add a printer.
  std::function<void(const SHELLEXECUTEINFOW&)> onLaunch;
  // Runs after each EnumPrintersW size query, e.g. to add a printer between the two calls.
  std::function<void()> afterPrinterSizeQuery;
  // The system's folders, and whether the program runs as a 32-bit one on 64-bit Windows.
  std::u16string systemDirectory = u"C:\\Windows\\system32";
  std::u16string windowsDirectory = u"C:\\Windows";
  bool wow64 = false;

  // Fault injection: the nth call of that kind from now (1 = the next one) fails with code.
  void Fail(Call call, DWORD code, int nth = 1);

  // What the code did.
  std::vector<Event> events;
  std::vector<Event> EventsOf(Call call) const;

  // Plain files by full path, with their bytes. CreateFileW opens them for reading.
  std::map<std::u16string, std::string> files;

  // Resources the code holds right now.
  std::set<HANDLE> openHandles;
  std::set<HLOCAL> liveBuffers;
  std::set<HCRYPTPROV> cryptProviders;
  // Each hash object, with the bytes hashed so far.
  std::map<HCRYPTHASH, std::string> cryptHashes;
  bool AllReleased() const {
    return openHandles.empty() && liveBuffers.empty() && cryptProviders.empty() &&
           cryptHashes.empty() && devices.AllReleased();
  }
  // Libraries loaded and not freed. Not part of AllReleased: the spooler library, once it
  // offers a function, stays loaded for the rest of the process.
  std::set<HMODULE> loadedModules;
  // The one-time initialisations that have run on this machine.
  std::set<INIT_ONCE*> initialised;

  // USB printer interfaces, device-class registry, spooler ports, and the lists and keys held.
  DeviceWorld devices;

  // For the simulated calls: counts the call, and when it is scheduled to fail sets the
  // last error and returns true.
  bool TakeFailure(Call call);
  void Record(Event event) { events.push_back(std::move(event)); }
  HANDLE NewHandle();
  HMODULE NewModule();
  std::size_t launches = 0;
  // The path and read position of each plain file opened.
  std::map<HANDLE, std::pair<std::u16string, std::size_t>> fileReads;
  ULONG_PTR nextCryptObject = 0x5000;

 private:
  std::map<Call, int> callsMade_;
  std::map<Call, std::map<int, DWORD>> scheduled_;
  std::uintptr_t nextHandle_ = 0x1000;
};

Machine& TheMachine();
// CreateFileW for a path that names no device: a plain file of Machine::files, or none.
HANDLE OpenPlainFile(const FileOpen& open);
// Gives every test a machine in its initial state.
void ResetMachine();

}  // namespace sim
