// The port page's benchmarks under Wine, against the real installer driven through its
// windows and the stand-in printer UI entry point.
//   install_probe latency PROGRAM STANDIN SYSDIR ROUNDS
//     From the end of the last command process to the result box, for a failed install
//     (500 ms pause, the spooler check, at most one 200 ms tick) and a successful one (100 ms
//     pause, at most one tick).
//   install_probe idle PROGRAM STANDIN SYSDIR SECONDS
//     CPU time the installer uses while one command runs for that long.
//   install_probe stability PROGRAM STANDIN SYSDIR CYCLES
//     Handles and working set after the first and after the last of CYCLES Back and Next
//     cycles with a printer attached. Handles are counted by duplicating every handle value
//     of the installer's table that names an object (GetProcessHandleCount answers 0 here);
//     CPU time and working set come from the installer's /proc entry.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "ports/supported_devices.h"
#include "run/virtual_printer.h"
#include "tests/wine/standin_log.h"
#include "tests/wine/ui_driver.h"

namespace {

const wchar_t kEndLog[] = L"C:\\standin-end.txt";

double NowMs() {
  LARGE_INTEGER now{};
  LARGE_INTEGER frequency{};
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double LastCommandEndMs() {
  FILE* file = _wfopen(kEndLog, L"r");
  double last = 0;
  if (file == nullptr) return last;
  double value = 0;
  while (std::fscanf(file, "%lf", &value) == 1) last = value;
  std::fclose(file);
  return last;
}

HWND OpenPortPage(const Installer& installer) {
  HWND wizard = installer.WaitForDialog(IsWizard);
  if (wizard == nullptr) return nullptr;
  WaitUntil([&] { return IsWindowEnabled(GetDlgItem(wizard, kNextButton)) != FALSE; });
  Press(wizard, PSBTN_NEXT, 1);
  return wizard;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

// One installation, to its result box: the time from the last command's end to the box.
double OneOutcome(const std::wstring& program, const wchar_t* caption) {
  DeleteFileW(kEndLog);
  Installer installer(program);
  HWND wizard = OpenPortPage(installer);
  if (wizard == nullptr) return -1;
  PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  HWND box = nullptr;
  WaitUntil(
      [&] {
        for (HWND dialog : DialogsOf(installer.Id())) {
          if (dialog != wizard && WindowText(dialog) == caption) box = dialog;
        }
        return box != nullptr;
      },
      kWaitMs);
  const double shown = NowMs();
  if (box == nullptr) return -1;
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  if (std::wstring(caption) == L"ERROR") PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  installer.Ended(kWaitMs);
  return shown - LastCommandEndMs();
}

void Latency(const std::wstring& program, int rounds) {
  SetStandinOption(L"EndLog", kEndLog);
  for (const wchar_t* caption : {L"ERROR", L"OK"}) {
    SetStandinOption(L"Idle", caption[0] == L'E' ? L"1" : nullptr);
    std::vector<double> times;
    times.reserve(static_cast<size_t>(rounds));
    for (int round = 0; round < rounds; ++round) times.push_back(OneOutcome(program, caption));
    std::printf("outcome latency, %s box: median %.0f ms, worst %.0f ms over %d rounds\n",
                caption[0] == L'E' ? "failure" : "success", Median(times),
                *std::max_element(times.begin(), times.end()), rounds);
  }
  std::printf("target: at most 850 ms\n");
}

// Under Wine the installer is a Linux process too, and the platform's own counters of another
// process answer zeros: the figures come from its /proc entry, through Wine's drive Z:.
std::string ProcEntry(const char* name) {
  WIN32_FIND_DATAA found{};
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  std::string result;
  if (search == INVALID_HANDLE_VALUE) return result;
  do {
    if (found.cFileName[0] < '0' || found.cFileName[0] > '9') continue;
    const std::string dir = std::string("Z:\\proc\\") + found.cFileName + "\\";
    FILE* cmdline = std::fopen((dir + "cmdline").c_str(), "rb");
    if (cmdline == nullptr) continue;
    char bytes[512] = {};
    const size_t read = std::fread(bytes, 1, sizeof(bytes) - 1, cmdline);
    std::fclose(cmdline);
    // The installer's own entry: its first argument is the program itself.
    const std::string program(bytes, std::min(read, std::strlen(bytes)));
    if (program.find("VelmoraSetup") == std::string::npos ||
        program.compare(program.size() - 4, 4, ".exe") != 0) {
      continue;
    }
    FILE* entry = std::fopen((dir + name).c_str(), "rb");
    if (entry == nullptr) continue;
    char text[4096] = {};
    result.assign(text, std::fread(text, 1, sizeof(text) - 1, entry));
    std::fclose(entry);
    break;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return result;
}

// User and system time, fields 14 and 15 of /proc/PID/stat, in clock ticks of 10 ms.
double CpuSeconds() {
  const std::string stat = ProcEntry("stat");
  const size_t end = stat.rfind(')');
  if (end == std::string::npos) return 0;
  unsigned long long user = 0;
  unsigned long long system = 0;
  std::sscanf(stat.c_str() + end + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
              &user, &system);
  return static_cast<double>(user + system) / 100.0;
}

void Idle(const std::wstring& program, int seconds) {
  const std::wstring hold = std::to_wstring((seconds + 4) * 1000);
  SetStandinOption(L"HoldMs", hold.c_str());
  Installer installer(program);
  HWND wizard = OpenPortPage(installer);
  if (wizard == nullptr) return;
  PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
  Sleep(2000);
  const double before = CpuSeconds();
  Sleep(static_cast<DWORD>(seconds) * 1000);
  const double used = CpuSeconds() - before;
  std::printf(
      "idle cost: %.3f s of CPU time in %d s while a command runs (target: at most 0.2 s)\n", used,
      seconds);
}

int CountHandles(HANDLE process) {
  int count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    HANDLE copy = nullptr;
    if (DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy, 0,
                        FALSE, DUPLICATE_SAME_ACCESS)) {
      CloseHandle(copy);
      ++count;
    }
  }
  return count;
}

// The resident set (VmRSS) in KiB.
unsigned long WorkingSetKiB() {
  const std::string status = ProcEntry("status");
  const size_t at = status.find("VmRSS:");
  return at == std::string::npos ? 0 : std::strtoul(status.c_str() + at + 6, nullptr, 10);
}

void Stability(const std::wstring& program, int cycles) {
  const SupportedDevice& row = SupportedDeviceTable[0];
  const VirtualPrinter printer{std::wstring(L"VID_") + row.Vid + L"&PID_" + row.Pid, L"7&2b0b&0&1",
                               1};
  RegisterPrinter(printer);
  Installer installer(program);
  HWND wizard = OpenPortPage(installer);
  if (wizard == nullptr) return;
  int firstHandles = 0;
  unsigned long firstSet = 0;
  for (int cycle = 1; cycle <= cycles; ++cycle) {
    Press(wizard, PSBTN_BACK, 0);
    Press(wizard, PSBTN_NEXT, 1);
    if (cycle == 1) {
      firstHandles = CountHandles(installer.Handle());
      firstSet = WorkingSetKiB();
    }
  }
  const int lastHandles = CountHandles(installer.Handle());
  const unsigned long lastSet = WorkingSetKiB();
  std::printf("after cycle 1: %d handles, working set %lu KiB\n", firstHandles, firstSet);
  std::printf("after cycle %d: %d handles, working set %lu KiB (%+.1f%%)\n", cycles, lastHandles,
              lastSet,
              100.0 * (static_cast<double>(lastSet) - static_cast<double>(firstSet)) /
                  static_cast<double>(firstSet));
  std::printf("target: handles within 2, working set within 5%%\n");
  PostMessageW(wizard, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  installer.Ended(kWaitMs);
  UnregisterPrinter(printer);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: install_probe latency|idle|stability PROGRAM STANDIN SYSDIR N\n");
    return 2;
  }
  const std::wstring mode = argv[1];
  const std::wstring program = argv[2];
  const std::wstring target = std::wstring(L"C:\\windows\\") + argv[4] + L"\\printui.dll";
  CopyFileW(argv[3], target.c_str(), FALSE);
  const int count = _wtoi(argv[5]);
  if (mode == L"latency") {
    Latency(program, count);
  } else if (mode == L"idle") {
    Idle(program, count);
  } else if (mode == L"stability") {
    Stability(program, count);
  }
  return 0;
}
